// Plotting: the plot file is sent unchanged, byte for byte, to a pen plotter or an HP-GL laser
// printer on a parallel or serial port (the File, Plot command). For the laser printer the file
// is framed by the printer's reset-and-enter-HP-GL/2 sequence and its leave-and-reset sequence.
// The file goes out in blocks of 2048 bytes on one descriptor that is locked for the job; a
// serial port gets the line settings and the flow control of its options, every write waits at
// most the options' stall time for the device to take bytes, and the port is drained before it
// is closed, so a plotter with a small buffer loses nothing and a dead one does not hang the
// program.
//
// State: PlotterChoice is the plotter dialog's state, kept while the program runs (not in the
// settings file); SpoolPlotFile owns its descriptors for one call.
#ifndef PLOTVUE_OUTPUT_SPOOL_H_
#define PLOTVUE_OUTPUT_SPOOL_H_

#include <cstdint>
#include <string>

#include "base/program.h"
#include "output/outtarget.h"

namespace plotvue {

// The plotter dialog's choices: the device kind (1 "HP-GL  Plotter", 2 "HP-GL Laserprinter")
// and the port code (1..4 LPT1..LPT4, 5..8 COM1..COM4).
struct PlotterChoice {
  int deviceKind = 2;
  int portCode = 1;
};

// The laser printer's frame: reset and enter HP-GL/2 mode; leave HP-GL/2 mode and reset.
inline constexpr char kLaserBegin[] = "\x1b" "E" "\x1b" "%0B";
inline constexpr char kLaserEnd[] = "\x1b" "%0A" "\x1b" "E";

// The size of the blocks in which the plot file is sent.
inline constexpr std::size_t kSpoolBlockSize = 2048;

// "LPT1".."LPT4" for the codes 1..4, "COM1".."COM4" for 5..8; empty for other codes.
std::string PlotPortName(int portCode);
// The device path of a port code (LptDevicePath, ComDevicePath); empty for other codes.
std::string PlotPortPath(int portCode);

// What a spooling job did.
struct SpoolResult {
  bool ok = false;             // every byte was sent and the port drained and closed
  std::uint64_t fileBytes = 0; // bytes of the plot file sent
  std::string port;            // the port's name ("COM1")
  std::string device;          // its device path
};

// Sends the current plot file (program.file) to the port of `choice`. The messages, each with
// ErrorFlag set: a port that does not exist, cannot be opened or is busy: "fichier " + port name
// + " introuvable ou accès impossible !" (nothing is sent); a plot file that cannot be read:
// "fichier " + path + " introuvable ou accès impossible !" (nothing is sent); a write that fails
// on the way: "disquette pleine" (the device is full), "code numérique non valide" (it refuses
// the data), "erreur de lecture" (the plot file fails part way), "erreur d'accès au fichier"
// (any other), or for a port that takes nothing for the stall time: port name + " : le
// périphérique ne répond pas (" + seconds + " s) !"; a failed close: "erreur de fermeture du
// fichier". Progress goes to program.progress; a stop request (program.StopRequested) ends the
// job after the block being sent, and a laser printer then still gets its leave-and-reset
// sequence so that it does not stay in HP-GL/2 mode. `options` default to
// PortOptionsFromEnvironment of the port.
SpoolResult SpoolPlotFile(Program& program, const PlotterChoice& choice);
SpoolResult SpoolPlotFile(Program& program, const PlotterChoice& choice,
                          const PortOptions& options);

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_SPOOL_H_
