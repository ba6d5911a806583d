{ Stub of the RAREDOVA graphics unit for the Pascal source writer's test. Every drawing call
  prints one record line on stdout ("Line x1 y1 x2 y2", "Circle x y r", ...) so the test can
  count the calls the generated program makes; the other calls print their name. The zoom loop
  runs once: T_ZoomKey answers Enter. }
unit RAREDOVA;

interface

procedure T_Init(mode: integer);
procedure T_InitGraph;
procedure T_ResetWindow;
procedure T_DrawTavoGraphTestFrame(title: string);
procedure T_SetWindow(vx1, vy1, vx2, vy2, wx1, wy1, wx2, wy2: real; keepAspect, inset: boolean);
procedure T_ClearViewPort;
procedure T_ZoomKey(var ch: char);
procedure T_CloseGraph;
procedure T_SetColor(colour: integer);
procedure T_Line(x1, y1, x2, y2: real);
procedure T_Circle(x, y, r: real);
procedure T_Arc(x, y, a1, a2, r: real);
procedure T_SetTextStyle(font: integer; direction, height, width: real);
procedure T_MoveTo(x, y: real);
procedure T_OutTextXy(x, y: real; text: string);

implementation

procedure T_Init(mode: integer); begin writeln('Init ', mode); end;
procedure T_InitGraph; begin writeln('InitGraph'); end;
procedure T_ResetWindow; begin writeln('ResetWindow'); end;
procedure T_DrawTavoGraphTestFrame(title: string); begin writeln('Frame ', title); end;
procedure T_SetWindow(vx1, vy1, vx2, vy2, wx1, wy1, wx2, wy2: real; keepAspect, inset: boolean);
begin
  writeln('Window ', wx1:0:3, ' ', wy1:0:3, ' ', wx2:0:3, ' ', wy2:0:3);
end;
procedure T_ClearViewPort; begin writeln('Clear'); end;
procedure T_ZoomKey(var ch: char); begin writeln('Zoom'); ch := #13; end;
procedure T_CloseGraph; begin writeln('Close'); end;
procedure T_SetColor(colour: integer); begin writeln('Color ', colour); end;
procedure T_Line(x1, y1, x2, y2: real);
begin
  writeln('Line ', x1:0:3, ' ', y1:0:3, ' ', x2:0:3, ' ', y2:0:3);
end;
procedure T_Circle(x, y, r: real); begin writeln('Circle ', x:0:3, ' ', y:0:3, ' ', r:0:3); end;
procedure T_Arc(x, y, a1, a2, r: real);
begin
  writeln('Arc ', x:0:3, ' ', y:0:3, ' ', a1:0:3, ' ', a2:0:3, ' ', r:0:3);
end;
procedure T_SetTextStyle(font: integer; direction, height, width: real);
begin
  writeln('TextStyle ', font, ' ', direction:0:3, ' ', height:0:3, ' ', width:0:3);
end;
procedure T_MoveTo(x, y: real); begin writeln('MoveTo ', x:0:3, ' ', y:0:3); end;
procedure T_OutTextXy(x, y: real; text: string);
begin
  writeln('Text ', x:0:3, ' ', y:0:3, ' ', text);
end;

end.
