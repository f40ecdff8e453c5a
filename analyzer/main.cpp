#include "scan_run.h"

#include <opencv2/core.hpp>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    // Inputs outside the analyzer's limits and errors of the video library end the run here, in order.
    try {
        return RunScan(argc, argv);
    } catch (const cv::Exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "Video library error: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", e.what());
    }
    return kScanStopped;
}
