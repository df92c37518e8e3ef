// What `tivorn play` measured, and its summary for people or as JSON.
#ifndef TIVORN_TOOLS_PLAY_REPORT_H
#define TIVORN_TOOLS_PLAY_REPORT_H

#include <string>
#include <vector>

namespace cli {

struct LATE_FRAME {
    unsigned long long position; // in the play order: loop * frames + frame
    unsigned frame;
    double behindMs; // how long after its due time it was ready
    double getMs;    // what fetching it took
};

struct PLAY_REPORT {
    // What was asked for.
    std::string source;
    bool cache = false;
    unsigned entry = 0;
    unsigned frames = 0;         // in the run or entry
    unsigned long loops = 1;     // 0: until stopped
    double fps = 30;
    long keepReady = -1;         // -1: not set
    bool window = false;
    // What happened.
    unsigned long width = 0, height = 0; // of the first frame shown
    unsigned long long shown = 0, failed = 0;
    double seconds = 0;          // from the first frame shown to the last
    std::vector<double> fetchMs; // every getFrame (or cache read), in order
    std::vector<LATE_FRAME> late;
    const char* stopped = nullptr; // "interrupted", "window closed"; null at the end
};

// The share p (0..100) of the fetch times at or below the result (nearest rank); 0 when none.
double percentile(std::vector<double> values, double p);
double achievedFps(const PLAY_REPORT& report);
// The summary on stdout; lateLines lists the late frames (at most 20) as well.
void printSummary(const PLAY_REPORT& report, bool lateLines);
void printJson(const PLAY_REPORT& report);

} // namespace cli

#endif
