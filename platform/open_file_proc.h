// The host's open-file dialog (tvnSetOpenFileProc), shared by both platform layers.
#ifndef TIVORN_OPEN_FILE_PROC_H
#define TIVORN_OPEN_FILE_PROC_H

namespace tvn {
namespace plat {

// Extended error reported for a host dialog that failed (CDERR_DIALOGFAILURE).
const unsigned long kHostDialogFailure = 0xFFFF;

// Runs the host's proc when one is installed and returns 1 (it ran; *result holds
// what openFileDialog returns), or 0 when there is none.
int runHostOpenFileProc(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                        unsigned long* extendedError, int* result);

} // namespace plat
} // namespace tvn

#endif
