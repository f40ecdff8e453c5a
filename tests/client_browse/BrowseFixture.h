#pragma once
// The shared set-up of the search form and record form tests: one loopback catalogue server and the seven
// windows, created once per test program in the client's start-up order, and a fixture that gives each test
// its own account, a clean request log and a dialog recorder.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "CatalogueServer.h"
#include "ClientTestKit.h"
#include "FormData.h"
#include "LoopbackServer.h"

class QLabel;
class TStringGrid;

namespace ts = tarvello::testserver;

ts::CatalogueServer& server();

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A record of this test's account with the required fields filled; `fields` adds or overrides values.
    int addFilm(const std::string& title, const std::map<std::string, std::string>& fields = {});

    // The requests that reached `script` since the test began, and the fields of one of them.
    std::vector<ts::HttpRequest> requestsTo(const std::string& script) const;
    static std::map<std::string, std::string> fieldsOf(const ts::HttpRequest& request);
    // The ids that delete.php was asked to delete since the test began.
    std::vector<std::string> deletedIds() const;

    // Refreshes the main window's list: this account's records.
    void loadMainList();
    // Runs the event loop until the record form's picture timer has fired.
    void waitForPicture();

    std::string account;  // this test's e-mail; the password is "secret"
    DialogRecorder dialogs;
};

std::string text(const QLabel* label);
std::string cell(const TStringGrid& grid, int col, int row);
// A picture of one colour in a format that QImage writes ("JPG", "PNG", "BMP").
std::string pictureBytes(int width, int height, const char* format);
inline std::string jpegBytes(int width, int height) { return pictureBytes(width, height, "JPG"); }
