// Pieces shared by the subcommands of the tivorn program. The program only
// calls the library's public interface; everything here is argument handling,
// reporting and presentation.
#ifndef TIVORN_TOOLS_CLI_H
#define TIVORN_TOOLS_CLI_H

#include <chrono>
#include <string>
#include <vector>

#include "tivorn.h"

namespace cli {

using Args = std::vector<std::string>;

// Exit statuses of every subcommand.
enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2, kInterrupted = 130 };

int cmdInfo(const Args& args);
int cmdConvert(const Args& args);
int cmdPack(const Args& args);
int cmdCache(const Args& args);
int cmdFrames(const Args& args);
int cmdPlay(const Args& args);
int cmdDemo(const Args& args, const char* argv0);

// One line "tivorn: text" on stderr.
void error(const std::string& text);
// Installs the message proc: every library message becomes "tivorn: <text>".
void installMessageProc();
// The text of the last line printed on stderr, without "tivorn: ".
const std::string& lastLine();
// How many library messages were printed so far.
unsigned messageCount();
// Prints text as the failure unless the library printed its own line after mark,
// so every failure is reported exactly once.
void reportOnce(unsigned mark, const std::string& text);

// True when args hold --help or -h.
bool wantsHelp(const Args& args);
// Milliseconds as "12.34 ms".
std::string formatMs(double ms);
// Milliseconds from `from` to `to` (to now when left out).
inline double msBetween(std::chrono::steady_clock::time_point from,
                        std::chrono::steady_clock::time_point to = std::chrono::steady_clock::now()) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Loading and writing pictures.
// The extension as the loader sees it: from the last dot of the last path
// component, lower-cased; empty when there is none.
std::string extensionOf(const std::string& path);
// "BMP", "TGA", "GIF" or "JPEG" by the extension the library's loader picks
// its reader by; empty for anything else.
std::string formatOf(const std::string& path);
// Loads path; on failure reports one line and returns false.
bool loadPicture(CRGBAImage& image, const std::string& path);
// Writes the current picture as TGA (the library's writer) or PNG (libpng),
// chosen by the extension. Leaves no partial file behind.
bool savePicture(CRGBAImage& image, const std::string& path);
// True when path ends in .tga or .png (what savePicture can write).
bool isWritableName(const std::string& path, std::string& why);

} // namespace cli

#endif
