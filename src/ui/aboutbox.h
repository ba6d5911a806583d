// TAboutBox: the about box of the Help menu. It shows the program's logo, drawn by a graphics
// window of its own, the product name with its version and a line on what the program does.
//
// State: its widgets and the logo's graphics window.
#ifndef PLOTVUE_UI_ABOUTBOX_H_
#define PLOTVUE_UI_ABOUTBOX_H_

#include <QDialog>
#include <QLabel>
#include <memory>

#include "base/program.h"
#include "graphics/device.h"
#include "graphics/raredova.h"
#include "ui/tavogra.h"

namespace plotvue {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(Program& program, QWidget* parent = nullptr);
  ~TAboutBox() override;

  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Comments = nullptr;
  TFtavogra* logo() const { return logo_; }

 private:
  TFtavogra* logo_ = nullptr;
  std::unique_ptr<GraphicsWindow> window_;
  std::unique_ptr<DrawDevice> device_;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_ABOUTBOX_H_
