#include "help/helpviewer.h"

#include "help/helptext.h"

namespace plotvue {

void HelpViewer::ShowHelpTopic(int topic, HelpMode mode) {
  if (topic == 0) topic = defaultTopic_;
  const bool callerError = program_.ErrorFlag;
  const std::string fileName = HelpFileName(topic);
  const std::string dir = HelpDir(program_.settings.HelpImageDir, dataDirs_, fileName);
  const HelpTopic found = LookUpHelpTopic(dir + fileName, topic);

  if (mode != HelpMode::PictureOnly)
    program_.ui->ShowHelpText(HelpCaption(topic), HelpMessageText(found));
  if (mode != HelpMode::TextOnly && !found.picture.empty() && found.picture != "NULL") {
    device_.DevClear();
    device_.DevHeader(0.0L, 0.0L, 160.0L, 120.0L);
    DrawHelpPicture(program_, device_, dir + found.picture + ".plt", picture_);
  }
  program_.ErrorFlag = callerError;
}

}  // namespace plotvue
