#pragma once

#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

// A suite of tests on one Firebird server of its own: starting one takes
// seconds, so it serves every test of the suite and stops after the last.
class ServerSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_server = new TestServer; }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_server->isRunning()) << s_server->failure().toStdString(); }

    static TestServer &server() { return *s_server; }

private:
    static inline TestServer *s_server = nullptr;
};
