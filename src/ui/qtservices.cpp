#include "ui/qtservices.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QAbstractButton>
#include <QScreen>

#include "ui/inputdialogs.h"

namespace plotvue {
namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void QtInteraction::ShowError(const std::string& text) {
  QMessageBox::critical(parent_, QStringLiteral("Erreur : "), FromUtf8(text));
}

void QtInteraction::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, QStringLiteral("Message:"), FromUtf8(text));
}

Answer QtInteraction::AskYesNoCancel(const std::string& text) {
  const auto button = QMessageBox::question(
      parent_, QString(), FromUtf8(text), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (button == QMessageBox::Yes) return Answer::Yes;
  if (button == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}

std::function<void()> QtInteraction::HelpFor(int topic) {
  if (topic == kNoHelp || help == nullptr) return {};
  return [this, topic] {
    if (help != nullptr) help->ShowHelpTopic(topic);
  };
}

std::optional<std::string> QtInteraction::PromptText(const std::string& caption,
                                                     const std::string& initial, int maxLength,
                                                     int helpTopic) {
  TextInputDialog dialog(FromUtf8(caption), FromUtf8(initial), maxLength, HelpFor(helpTopic),
                         parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // The limit counts characters, as the edit field does.
  return dialog.text().toStdString();
}

std::optional<int> QtInteraction::PromptChoice(const std::string& caption,
                                               const std::vector<std::string>& options,
                                               int preselected, int helpTopic) {
  if (options.empty()) return std::nullopt;
  QStringList texts;
  for (const std::string& o : options) texts << FromUtf8(o);
  ChoiceDialog dialog(FromUtf8(caption), texts, preselected, HelpFor(helpTopic), parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

std::optional<bool> QtInteraction::PromptYesNo(const std::string& question, bool defaultYes,
                                               int helpTopic) {
  YesNoDialog dialog(FromUtf8(question), defaultYes, HelpFor(helpTopic), parent_);
  const int result = dialog.exec();
  if (result == QDialog::Accepted) return true;
  if (result == YesNoDialog::kNo) return false;
  return std::nullopt;
}

std::optional<int> QtInteraction::ShowList(const std::string& caption,
                                           const std::vector<std::string>& lines,
                                           int helpTopic) {
  QStringList texts;
  for (const std::string& l : lines) texts << FromUtf8(l);
  ListDialog dialog(FromUtf8(caption), texts, HelpFor(helpTopic), parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

void QtInteraction::ShowHelpText(const std::string& caption, const std::string& text) {
  QMessageBox::information(parent_, FromUtf8(caption), FromUtf8(text));
}

void QtInteraction::Beep() { QApplication::beep(); }

std::optional<std::string> QtInteraction::SaveFileDialog(const std::string& filter,
                                                         const std::string& initialPath) {
  const QString name =
      QFileDialog::getSaveFileName(parent_, QString(), FromUtf8(initialPath), DialogFilters(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

QString QtInteraction::DialogFilters(const std::string& filter) {
  // Shown as given; matched without regard to letter case, as file names of plot files come in
  // either.
  QStringList filters;
  for (const QString& part : FromUtf8(filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
    QString name = part.trimmed();
    QString patterns = name;
    const qsizetype open = name.lastIndexOf(QLatin1Char('('));
    if (open > 0 && name.endsWith(QLatin1Char(')'))) {
      patterns = name.mid(open + 1, name.size() - open - 2);
      name = name.left(open).trimmed();
    }
    QStringList matched;
    for (const QString& pattern : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()})
        if (!matched.contains(variant)) matched << variant;
    }
    filters << name + QStringLiteral(" (") + matched.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtInteraction::OpenFileDialog(const std::string& filter,
                                                         const std::string& initialDir) {
  const QString name =
      QFileDialog::getOpenFileName(parent_, QString(), FromUtf8(initialDir), DialogFilters(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

int QtInteraction::ScreenWidthPx() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size().width() : UserInteraction::ScreenWidthPx();
}

int QtInteraction::ScreenHeightPx() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size().height() : UserInteraction::ScreenHeightPx();
}

void QtProgress::SetCancel(QWidget* button, std::function<void()> onCancel) {
  cancel_ = button;
  if (auto* push = qobject_cast<QAbstractButton*>(button))
    QObject::connect(push, &QAbstractButton::clicked, push, std::move(onCancel));
}

void QtProgress::Start() {
  sinceEvents_.start();
  shown_ = false;
}

void QtProgress::Finish() {
  if (bar_) bar_->hide();
  if (cancel_) cancel_->hide();
  if (panel_) panel_->hide();
  shown_ = false;
}

void QtProgress::Progress(std::uint64_t done, std::uint64_t total) {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < 50) return;
  if (!shown_ && bar_ && total >= kShowFrom) {
    bar_->setRange(0, 1000);
    bar_->show();
    if (cancel_) cancel_->show();
    if (panel_) panel_->show();
    shown_ = true;
  }
  if (shown_ && total > 0)
    bar_->setValue(static_cast<int>(std::min<std::uint64_t>(1000, done * 1000 / total)));
  QCoreApplication::processEvents();
  sinceEvents_.restart();
}

}  // namespace plotvue
