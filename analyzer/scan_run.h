#pragma once

// Exit code of a run that stopped on an input outside the analyzer's limits or an error of the video
// library (reported on standard error by main).
constexpr int kScanStopped = 2;

// The whole analyzer run over the command line: returns 0 after the usage text, a missing video or a
// finished run, 1 when the RGB data file or the hashes file cannot be created. Throws std::exception
// (or cv::Exception) with a message when the run has to stop.
int RunScan(int argc, char** argv);
