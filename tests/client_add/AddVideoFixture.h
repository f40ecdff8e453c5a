#pragma once
// The shared stage of the add-video window tests: the loopback catalogue server with one account, the seven
// windows created once in the client's start-up order, and per test a fresh client folder with Quillsum in it
// and the add-video form shown.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CatalogueServer.h"
#include "ClientTestKit.h"
#include "WorkPlace.h"

inline const std::string TestUser = "maker@example.org";
// A password with the characters that a query would otherwise cut or change, and with those that quoted-printable
// changes in a form part: "=" (here followed by what reads as an escape) and a leading ".".
inline const std::string TestPassword = ".pa=3D&ss +#1";

// The info file of a 320 × 180 video of 400 frames at 25 a second, as printf writes it in fakeAnalyzerScript.
inline const std::string Info320 =
    "Width: 320\\nHeight: 180\\nFPS: 25\\nFrames: 400\\nFOURCC: FMP4\\nPixelAspectRatio: 1.000000\\n"
    "ResultWidth: 320\\nResultHeight: 180\\n";

tarvello::testserver::CatalogueServer& catalogue();

// Fills the add-video form's rows that a save requires: title, country, genre, description and year.
void fillRequiredFields();

class AddVideo : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;  // waits for a running analysis, hides the form, drops scripted replies

    // Picks `path` in the open dialog and runs "Открыть видео".
    void open(const std::string& path);
    // Runs the event loop until the current analysis thread has ended.
    bool waitForAnalysis();
    bool hasMessage(const std::string& text) const;
    // Requests that reached the server for one script.
    std::vector<tarvello::testserver::HttpRequest> requestsTo(const std::string& script) const;

    // A plain file standing in for a video, for the endings before the analyzer.
    std::string someFile(const std::string& name, const std::string& bytes = "not really a video");

    std::unique_ptr<WorkPlace> place;
    DialogRecorder dialogs;
};
