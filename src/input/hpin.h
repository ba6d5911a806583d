// hpin: the HP-GL reader and interpreter. One run reads the current plot file command by
// command, keeps the plotter state (pen, position, absolute or relative mode, pen up or down,
// scaling, character size and direction), converts every coordinate to millimetres and hands
// each segment, circle, arc and label to the sink of the run mode. It streams: nothing of the
// drawing is kept, and memory use does not depend on the file.
#ifndef PLOTVUE_INPUT_HPIN_H_
#define PLOTVUE_INPUT_HPIN_H_

#include "base/program.h"
#include "input/bytesource.h"
#include "input/sinks.h"

namespace plotvue {

// One pass over the current file (program.file). Results only through the program state:
// ErrorFlag set on return means that the file was not readable or the output did not open; the
// extents and counts of the run; the output written (convert runs).
void RunInterpreter(Program& program, RunMode mode, const RunTargets& targets = {});

// The same pass over an already opened source (`path` is only used in messages). Tests feed
// strings through it.
void RunInterpreterOn(Program& program, RunMode mode, const RunTargets& targets,
                      ByteSource& source);

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_HPIN_H_
