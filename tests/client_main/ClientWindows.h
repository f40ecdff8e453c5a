#pragma once
// The client's seven windows, created once for the whole test program in their start-up order, talking to one
// loopback catalogue server; and a fixture that gives each test its own account, settings folder and dialog
// recorder.

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "CatalogueServer.h"
#include "ClientTestKit.h"

tarvello::testserver::CatalogueServer& catalogue();

// The requests that reached one script so far.
std::vector<tarvello::testserver::HttpRequest> requestsTo(const std::string& script);

// The bytes of a part of a multipart request body as sent, or "" when the body has no part of that name.
std::string partData(const tarvello::testserver::HttpRequest& request, const std::string& name);

class ClientWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes CurPath/TarvelloDesk.ini with exactly these bytes.
    void writeSettings(const std::string& bytes) const;
    std::string readSettings() const;

    std::string email;                       // an account of its own on the server, with `password`
    const std::string password = "secret1";
    QTemporaryDir folder;                    // CurPath for the test
    DialogRecorder dialogs;
};
