// raredova: the graphics window. It offers a small drawing library in the manner of a classic
// graphics toolkit: a world window mapped onto a viewport, colours numbered 0 to 16, four line
// styles, text with height, width and direction, and zoom and pan on top of the world window.
//
// Drawing calls do not paint: each appends one record to the display list, and a repaint replays
// the list (FormPaint) onto a canvas. Zoom and pan change only the zoom rectangle and replay the
// same list; the plot file is read again only when a new list is built.
//
// State: the mapping state (ViewState), the window's own fields (WindowFields), the pending key
// action and the mouse state (ZoomInput), and the display list, all for the whole run of the
// program. The platform services of the window (repaint requests, cursor, message processing,
// pauses) come through a WindowHost.
#ifndef PLOTVUE_GRAPHICS_RAREDOVA_H_
#define PLOTVUE_GRAPHICS_RAREDOVA_H_

#include <array>
#include <cstdint>
#include <string>

#include "base/program.h"
#include "graphics/canvas.h"
#include "graphics/displaylist.h"

namespace plotvue {

// A pixel rectangle. In ViewPort, y1 is the top row and y2 the bottom row; in ZoomRect, y is
// counted upward from the viewport's y1, so y1 stands for the bottom of the world window.
struct PixelRect {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A world rectangle: (x1, y1) the lower left corner, (x2, y2) the upper right corner.
struct WorldRect {
  long double x1 = 0.0L;
  long double y1 = 0.0L;
  long double x2 = 0.0L;
  long double y2 = 0.0L;

  friend bool operator==(const WorldRect&, const WorldRect&) = default;
};

// The mapping state: one for the program.
struct ViewState {
  // Largest pixel column and row of the graphics window: the window-size settings.
  std::uint16_t GraphMaxX = 0;
  std::uint16_t GraphMaxY = 0;
  PixelRect ViewPort{0, 0, 1, 1};     // pixel rectangle that the world window fills
  WorldRect WorldWindow{0, 0, 1, 1};  // world rectangle shown in the viewport
  bool KeepAspect = false;            // equalise the scales (SetScale)
  PixelRect ZoomRect{};               // visible part of the viewport
  WorldRect ZoomWindow{};             // world rectangle that ZoomRect selects
  long double ScaleX = 1.0L;          // pixels per world unit
  long double ScaleY = 1.0L;
  WorldRect SavedLimit{0, 0, 1, 1};     // world window remembered by SaveLimit
  PixelRect SavedViewPort{0, 0, 1, 1};  // viewport remembered by SaveViewPort
  long double MouseAspect = 1.0L;       // set by Header from the world window before it
  bool PrintMirror = false;             // the replay also draws on the printer canvas
};

// The window object's own fields. They filter the appending operations only. In this program
// they start at zero (the main window's creation handler replaces the graphics window's).
struct WindowFields {
  int currentColour = 0;
  std::uint16_t currentLineStyle = 0;
  std::uint16_t currentLineWidth = 0;
  int textSizeMode = 0;  // stored by SetTextSizeMode, read nowhere else
};

// The pending key action and the mouse state of zoom and pan.
struct ZoomInput {
  // 0 for a pan or reset, '+' or '-' for a zoom, '0' at start (does nothing).
  char action = '0';
  // The pan direction letter: '?' reset, 'K' left, 'M' right, 'H' up, 'P' down, 'I' page up,
  // 'Q' page down.
  char direction = 0;
  bool rubberBandActive = false;
  int px = 0, py = 0;  // press point, client pixels
  int cx = 0, cy = 0;  // current corner, client pixels
  bool doubleClickPending = false;
};

// What the printer transforms need of the print configuration: the page in printer pixels, the
// print origin in millimetres and the print scale factors.
struct PrintPage {
  int PW = 0;
  int PH = 0;
  int ox = 0;
  int oy = 0;
  long double sx = 1.0L;
  long double sy = 1.0L;
};

enum class CursorShape { Default, Arrow, Wait };
enum class MouseButton { Left, Right, Middle };

// The platform side of the graphics window.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Asks for a repaint; it comes through the platform after the caller has finished.
  virtual void Invalidate() = 0;
  virtual void SetCursor(CursorShape shape) = 0;
  // Lets the platform handle pending events (key, mouse, paint requests).
  virtual void ProcessMessages() = 0;
  virtual void Sleep(int milliseconds) = 0;
  // The window's surface for drawing at once (MoveTo, LineTo, DrawRectangle); none when the
  // platform draws only in its repaint.
  virtual Canvas* ImmediateCanvas() { return nullptr; }
};

// A host that does nothing: for windows that are never shown (command-line printing, tests).
class NullWindowHost : public WindowHost {
 public:
  void Invalidate() override {}
  void SetCursor(CursorShape) override {}
  void ProcessMessages() override {}
  void Sleep(int) override {}
};

// Virtual key codes of the keys that zoom and pan.
inline constexpr int kVkEscape = 27;
inline constexpr int kVkPageUp = 33;
inline constexpr int kVkPageDown = 34;
inline constexpr int kVkLeft = 37;
inline constexpr int kVkUp = 38;
inline constexpr int kVkRight = 39;
inline constexpr int kVkDown = 40;
inline constexpr int kVkAdd = 107;       // numeric-pad plus
inline constexpr int kVkSubtract = 109;  // numeric-pad minus
inline constexpr int kVkF5 = 116;

// AutoCAD colour number to colour number.
int GetColorTurbo(std::uint8_t n);

// The line style of a style name ("DOTTED", "CENTER", "DASHED" and their aliases); 0 otherwise.
std::uint16_t LineStyleOfName(const std::string& name);

// The pen style of a line style number.
PenStyle PenStyleOf(int style);

class GraphicsWindow {
 public:
  GraphicsWindow(Program& program, WindowHost& host);
  GraphicsWindow(const GraphicsWindow&) = delete;
  GraphicsWindow& operator=(const GraphicsWindow&) = delete;

  // --- Mapping ---------------------------------------------------------------------------------

  // Sets GraphMaxX and GraphMaxY (the window-size settings).
  void SetGraphSize(std::uint16_t maxX, std::uint16_t maxY);
  // Sets the viewport from fractions of the window (0 left or bottom, 1 right or top), shrunk by
  // a pixel on every side when `inset`, and the world window; appends a RecWindow record. An
  // empty world window sets ErrorFlag and keeps the scales; any other starts unzoomed.
  void SetWindow(bool keepAspect, bool inset, long double left, long double bottom,
                 long double right, long double top, long double wx1, long double wy1,
                 long double wx2, long double wy2);
  // Sets ZoomRect and derives ZoomWindow and the scales; an empty rectangle changes nothing.
  void SetScale(int x1, int y1, int x2, int y2);
  // Starts a drawing with these world limits: MouseAspect, the whole window with aspect kept
  // and inset, a solid line style, SaveLimit.
  void Header(long double wx1, long double wy1, long double wx2, long double wy2);
  void SaveLimit();
  void RestoreLimit();
  // The unit world window without aspect and inset, then ResetZoom.
  void ReSetWindow();
  // ZoomRect := the whole viewport.
  void ResetZoom();
  void SaveViewPort();
  void RetrieveViewPort();
  // Empties the display list, makes the next colour and line style be recorded whatever they
  // are, and asks for a repaint.
  void Clear();
  // Wait cursor and a repaint request.
  void ClearViewPort();
  // A fraction of the world window as a world distance.
  long double EinX(long double f) const;
  long double EinY(long double f) const;
  void SetWaitCursor();
  void SetOldCursor();

  // --- Transforms --------------------------------------------------------------------------------
  // World to window pixels, through the zoom window and the scales (ties to even); results are
  // held within +-2^30.
  int ScreenX(long double x) const;
  int ScreenY(long double y) const;
  int ScreenSizeX(long double d) const;
  int ScreenSizeY(long double d) const;
  // World to printer pixels of `page`.
  int PrinterX(long double x, const PrintPage& page) const;
  int PrinterY(long double y, const PrintPage& page) const;
  int PrinterSizeX(long double d, const PrintPage& page) const;
  int PrinterSizeY(long double d, const PrintPage& page) const;

  // --- Replay ------------------------------------------------------------------------------------

  struct ReplayOptions {
    // Skip records that lie wholly outside the window canvas (changes no pixel).
    bool cull = true;
  };
  // Replays the display list onto `window`; while PrintMirror is set and a printer canvas and
  // page are given, onto the printer too (texts then go to the printer only). Ends early, with
  // ErrorFlag set, at a RecWindow record with an empty world window.
  void FormPaint(Canvas& window, Canvas* printer = nullptr, const PrintPage* page = nullptr);
  void FormPaint(Canvas& window, Canvas* printer, const PrintPage* page,
                 const ReplayOptions& options);

  // --- Drawing operations (each appends records; none draws at once but MoveTo, LineTo and
  // DrawRectangle) --------------------------------------------------------------------------------

  void circle(long double x, long double y, long double radius);
  void line(long double x1, long double y1, long double x2, long double y2);
  // A counter-clockwise arc from angle a1 to angle a2 (degrees) about (cx, cy); a chord when its
  // sweep, reduced into (0, 360], is below 4 degrees.
  void Arc(long double cx, long double cy, long double a1, long double a2, long double radius);
  void OutTextXY(const std::string& text, long double x, long double y);
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
             long double y3, long double x4, long double y4);
  void Rectangle(long double x1, long double y1, long double x2, long double y2);
  void SetColor(int colour);
  int GetColor() const { return fields_.currentColour; }
  void SetColorAcad(std::uint8_t n) { SetColor(GetColorTurbo(n)); }
  void SetTextStyle(int font, long double direction, long double height, long double width);
  void SetLineStyle(std::uint16_t style);
  void SetLineStyleName(const std::string& name) { SetLineStyle(LineStyleOfName(name)); }
  void SetLineWidth(std::uint16_t width);
  void SleepMs(int milliseconds);
  void MoveTo(long double x, long double y);
  void LineTo(long double x, long double y);
  // True for a steep direction: 45 < a < 135, 225 < a < 315 or -135 < a < -45.
  static bool GetDirection(long double angle);
  // The closed outline of the pixel rectangle on the window, at once.
  void DrawRectangle(int x1, int y1, int x2, int y2);
  // Appends the program's logo, starting with its own Header.
  void DrawTavolinLogo();
  void SetTextSizeMode(int mode) { fields_.textSizeMode = mode; }

  // --- Zoom, pan, keys and mouse -----------------------------------------------------------------

  // One key-down (virtual key code). A key of the zoom and pan table sets the pending action,
  // asks for a repaint and performs the action; any other key changes nothing.
  void processKey(int key);
  // Performs the pending action on ZoomRect.
  void PerformPendingAction();
  void FormMouseDown(MouseButton button, int X, int Y);
  // Moves the rubber band's corner; returns true when the band is active.
  bool FormMouseMove(int X, int Y);
  // Ends the rubber band; zooms to the rectangle between the press point and (X, Y) unless the
  // two share a row or column. The rectangle's corners are taken back through the screen
  // transforms, so the new view shows what the band enclosed.
  void FormMouseUp(MouseButton button, int X, int Y);
  void FormDblClick();
  // Zooms by the zoom factor per step (positive steps zoom in), keeping the point under the
  // mouse at (X, Y) where it is.
  void WheelZoom(int steps, int X, int Y);
  // Unzoomed repaint of the whole list (RestoreLimit, unit window, ResetZoom).
  void Regen();
  // The world point under client pixel (X, Y), through the inverse of the screen transforms
  // (the cursor position of the status line). False when the mapping gives no finite point.
  bool ClientToWorld(int X, int Y, long double& wx, long double& wy) const;

  // --- Keeping a picture ---------------------------------------------------------------------------

  // The display list and mapping state of a drawing, set aside while another is built.
  struct Picture {
    ViewState view;
    WindowFields fields;
    DisplayList list;
  };
  // Sets the current drawing aside into `picture` (the display list becomes empty, the mapping
  // stays), so that a file that turns out unreadable or a cancelled reading can give it back.
  void HoldPicture(Picture& picture);
  // Gives back a drawing set aside by HoldPicture, replacing whatever was built since.
  void RestorePicture(Picture& picture);

  // --- State
  // ---------------------------------------------------------------------------------------

  const ViewState& view() const { return view_; }
  const WindowFields& fields() const { return fields_; }
  const ZoomInput& zoomInput() const { return zoom_; }
  const DisplayList& list() const { return list_; }
  DisplayList& list() { return list_; }
  Program& program() { return program_; }
  // Print replays set it around FormPaint.
  void SetPrintMirror(bool on) { view_.PrintMirror = on; }
  // Sets the pending action (the command-line print path sets 27).
  void SetPendingAction(char action, char direction) {
    zoom_.action = action;
    zoom_.direction = direction;
  }
  // Font style of screen texts: bold 1, italic 2, underline 4, strike-out 8.
  int FontStyle = 0;

  // Counts every change of the display list and of the mapping state: a repaint may reuse the
  // picture of the last replay while it is unchanged.
  std::uint64_t ChangeCount() const { return list_.Version() + mappingChanges_; }

 private:
  struct ReplayState;
  void ReplayWindowRecord(const double* v, ReplayState& rs);
  void ReplayText(const Record& r, ReplayState& rs, Canvas& textCanvas, bool printing,
                  const PrintPage* page);
  void ReplayColour(int c, Canvas& window, Canvas* printer);
  // The visible world area for culling, from the window canvas's size.
  void UpdateCulling(ReplayState& rs, const Canvas& window, bool enabled) const;
  void DrawLineRecord(ReplayState& rs, Canvas& window, double x1, double y1, double x2, double y2);
  void DrawEllipseRecord(Canvas& canvas, const double* box, const double* ends);
  // Client pixel to ZoomRect coordinates, through the inverse of the screen transforms.
  bool ClientToZoom(long double X, long double Y, long double& zx, long double& zy) const;
  bool SetScaleChecked(long double x1, long double y1, long double x2, long double y2);

  Program& program_;
  WindowHost& host_;
  ViewState view_;
  WindowFields fields_;
  ZoomInput zoom_;
  DisplayList list_;
  std::uint64_t mappingChanges_ = 0;
};

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_RAREDOVA_H_
