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

// The outcome of RunScanAndConvert.
enum class ScanConvertResult {
  Unreadable,  // the plot file could not be opened: as a failed scan run, nothing written
  ReadFailed,  // the file could not be read to its end: as a scan run cut short, no output kept
  Converted,   // read whole: the state is that of the convert run (ErrorFlag, RunFailed)
};

// The scan run and the convert run of a conversion in one pass over the file: every element
// widens the extents and is counted as in a scan run and goes to `driver` as in a convert run.
// Only for outputs that do not read the extents while they are written (OutputReadsExtents)
// and that can be dropped when the input fails part way (a file, not a port). The outputs whose
// trailer holds the extents (OutputTrailerReadsExtents) get their trailers when the pass has
// ended (OutputDriver::HoldTrailers); when the conversion stopped part way, a scan run finds the
// extents of the whole drawing for the parts already ended. Messages, the same-file refusal and
// the output written are those of the two runs one after the other; afterwards the extents and
// counts are the scan's.
ScanConvertResult RunScanAndConvert(Program& program, OutputDriver& driver);

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_HPIN_H_
