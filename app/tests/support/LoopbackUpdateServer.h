#pragma once

// A loopback HTTPS server that the update code takes for the update server
// while the object lives: the base address points at it, its certificate
// authority is trusted, and downloads without a folder of their own land in
// a private temporary folder of the test.

#include "support/TestHttpsServer.h"
#include "update/PVNetworkAPI.h"
#include "update/PVUpdateServer.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class LoopbackUpdateServer
{
  public:
    /// Where the server serves this build's version file.
    static constexpr const char* kVersionPath = "/software/version/orvanta/orvntaverLinux.txt";

    explicit LoopbackUpdateServer(TestHttpsServer::Identity identity = TestHttpsServer::Identity::Loopback)
        : server(identity), oldTmp_(qgetenv("TMPDIR"))
    {
        EXPECT_TRUE(server.listen());
        EXPECT_TRUE(tmp.isValid());
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qputenv(PVUpdateServer::kBaseEnvironment, server.baseAddress().toUtf8());
        PVNetworkAPI::sharedInstance().setSslConfiguration(TestHttpsServer::trustingConfiguration());
    }

    ~LoopbackUpdateServer()
    {
        PVNetworkAPI::sharedInstance().setSslConfiguration(QSslConfiguration::defaultConfiguration());
        qunsetenv(PVUpdateServer::kBaseEnvironment);
        if (oldTmp_.isNull()) {
            qunsetenv("TMPDIR");
        } else {
            qputenv("TMPDIR", oldTmp_);
        }
    }

    LoopbackUpdateServer(const LoopbackUpdateServer&) = delete;
    LoopbackUpdateServer& operator=(const LoopbackUpdateServer&) = delete;

    TestHttpsServer server;
    QTemporaryDir tmp;

  private:
    QByteArray oldTmp_;
};
