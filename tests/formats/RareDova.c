/* Stub of the TAVOLIN graphics library for the C source writer's test. Every call prints one
   record line on stdout ("L x1 y1 x2 y2", "T x y hex-bytes", ...) so the test can compare what
   the generated program draws with what was written. The zoom loop runs once: T_ZoomKey answers
   Escape. T_CloseGraph ends the program with status 0 (the generated main returns void). */
#include <stdio.h>
#include <stdlib.h>

#include "TavoDef.H"
#include "RareDova.H"

void RareDova(void) { printf("RareDova\n"); }
void T_Init(int mode) { printf("Init %d\n", mode); }
void T_InitGraph(void) { printf("InitGraph\n"); }
void T_ResetWindow(void) { printf("ResetWindow\n"); }
void T_DrawTavoGraphTestFrame(const char *title) { printf("Frame %s\n", title); }
void T_SetWindow(double vx1, double vy1, double vx2, double vy2, double wx1, double wy1,
                 double wx2, double wy2, int keepAspect, int inset) {
  printf("W %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g %d %d\n", vx1, vy1, vx2, vy2, wx1,
         wy1, wx2, wy2, keepAspect, inset);
}
void T_ClearViewPort(void) { printf("Clear\n"); }
void T_ZoomKey(char *ch) {
  printf("Zoom\n");
  *ch = 27;
}
void T_CloseGraph(void) {
  printf("Close\n");
  fflush(stdout);
  exit(0);
}

void T_SetColor(int colour) { printf("K %d\n", colour); }
void T_MoveTo(double x, double y) { printf("M %.17g %.17g\n", x, y); }
void T_Line(double x1, double y1, double x2, double y2) {
  printf("L %.17g %.17g %.17g %.17g\n", x1, y1, x2, y2);
}
void T_Circle(double x, double y, double r) { printf("C %.17g %.17g %.17g\n", x, y, r); }
void T_Arc(double cx, double cy, double a1, double a2, double r) {
  printf("A %.17g %.17g %.17g %.17g %.17g\n", cx, cy, a1, a2, r);
}
void T_SetTextStyle(int font, int direction, double height, double width) {
  printf("S %d %d %.17g %.17g\n", font, direction, height, width);
}
void T_OutTextXY(double x, double y, const char *text) {
  const unsigned char *p = (const unsigned char *)text;
  printf("T %.17g %.17g ", x, y);
  for (; *p; ++p) printf("%02x", *p);
  printf("\n");
}
