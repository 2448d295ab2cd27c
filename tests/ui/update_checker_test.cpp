// The update checker against a local server on 127.0.0.1: which answers offer
// an update, that every failure stays silent and ends with finished(), and
// that the checker may go away at any moment.
#include "ui/update_checker.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <string>

#include "ui/local_http_server.h"

namespace kurvana::ui {
namespace {

struct Outcome {
  bool finished = false;
  int offers = 0;
  int finishes = 0;
  qint64 elapsedMs = 0;
};

Outcome check(const QUrl& url, int timeoutMs = 10000, int waitMs = 8000) {
  UpdateChecker checker(url, timeoutMs);
  QSignalSpy offered(&checker, &UpdateChecker::updateOffered);
  QSignalSpy finished(&checker, &UpdateChecker::finished);
  QElapsedTimer clock;
  clock.start();
  checker.start();
  checker.start();  // a second start sends nothing
  Outcome outcome;
  outcome.finished = finished.wait(waitMs);
  outcome.elapsedMs = clock.elapsed();
  QTest::qWait(30);  // nothing more may follow finished()
  outcome.offers = offered.count();
  outcome.finishes = finished.count();
  return outcome;
}

TEST(UpdateChecker, TheDocumentDecidesTheOffer) {
  struct Case {
    const char* name;
    QByteArray body;
    bool offered;
  };
  const qsizetype largest = UpdateChecker::kMaxDocumentBytes;
  const Case cases[] = {
      {"same version", "version1.0", false},
      {"newer version", "version1.1", true},
      {"capitals", "VERSION1.1", false},
      {"nine bytes", "version2.", false},
      {"prose", "new version 2", true},
      {"empty", "", false},
      {"NUL inside", QByteArray("version\0001.1", 11), true},  // read as bytes, not as a C string
      {"largest document", "version1.1" + QByteArray(largest - 10, ' '), true},
      {"one byte too long", "version1.1" + QByteArray(largest - 9, ' '), false},
  };
  VersionServer server;
  // With a length the reply can be measured; chunked, only what is read.
  for (const bool chunked : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (chunked ? ", chunked" : ", with a length"));
      server.answer("/kurvana/version.txt",
                    chunked ? chunkedResponse(200, c.body) : httpResponse(200, c.body));
      const qsizetype before = server.requestLines().size();
      const Outcome got = check(server.url("/kurvana/version.txt"));
      ASSERT_TRUE(got.finished);
      EXPECT_EQ(got.finishes, 1);
      EXPECT_EQ(got.offers, c.offered ? 1 : 0);
      ASSERT_EQ(server.requestLines().size(), before + 1);
      EXPECT_EQ(server.requestLines().back(), "GET /kurvana/version.txt HTTP/1.1");
    }
  }
}

TEST(UpdateChecker, AnEndlessChunkedAnswerIsCutAtTheCap) {
  VersionServer server;
  server.answerEndlessly("/endless");
  // The time-out is far beyond the wait: only the cap can end this check.
  const Outcome got = check(server.url("/endless"), 120000, 60000);
  ASSERT_TRUE(got.finished);
  EXPECT_EQ(got.finishes, 1);
  EXPECT_EQ(got.offers, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return server.droppedByClient() == 1; }, 30000));
}

TEST(UpdateChecker, AnAnswerIsCutAsSoonAsItPassesTheCap) {
  // One byte over the cap, then silence: the check ends on that byte, not at
  // the time-out far beyond the wait.
  const QByteArray tooLong = "version1.1" + QByteArray(UpdateChecker::kMaxDocumentBytes - 9, ' ');
  const QByteArray chunked = chunkedResponse(200, tooLong);
  const QByteArray withLength = httpResponse(200, tooLong + QByteArray(100000, ' '));
  VersionServer server;
  server.answerThenStall("/chunked", chunked, chunked.size() - 5);  // before the last chunk
  server.answerThenStall("/length", withLength,
                         withLength.indexOf("\r\n\r\n") + 4 + tooLong.size());
  int dropped = 0;
  for (const char* path : {"/chunked", "/length"}) {
    SCOPED_TRACE(path);
    const Outcome got = check(server.url(path), 120000, 60000);
    ASSERT_TRUE(got.finished);
    EXPECT_EQ(got.finishes, 1);
    EXPECT_EQ(got.offers, 0);
    ++dropped;
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.droppedByClient() == dropped; }, 30000));
  }
}

TEST(UpdateChecker, ErrorStatusesAndForeignRedirectsAreSilent) {
  VersionServer server;
  VersionServer foreign;  // another port on the same address is another origin
  foreign.answer("/v", httpResponse(200, "version1.1"));
  server.answer("/missing", httpResponse(404, "version1.1"));
  server.answer("/broken", httpResponse(500, "version1.1"));
  server.answer("/choices", httpResponse(300, "version1.1"));
  server.answer("/moved", httpResponse(302, "", "Location: /v\r\n"));
  // The redirect's own body is no part of the document: "zz" + "version1.0"
  // would offer.
  server.answer("/moved-with-body", httpResponse(302, "zz", "Location: /same\r\n"));
  server.answer("/same", httpResponse(200, "version1.0"));
  server.answer("/v", httpResponse(200, "version1.1"));
  server.answer("/away",
                httpResponse(302, "", "Location: " + foreign.url("/v").toEncoded() + "\r\n"));
  struct Case {
    const char* path;
    bool offered;
  };
  for (const Case c :
       {Case{"/missing", false}, Case{"/broken", false}, Case{"/choices", false},
        Case{"/moved", true}, Case{"/moved-with-body", false}, Case{"/away", false}}) {
    SCOPED_TRACE(c.path);
    const Outcome got = check(server.url(c.path));
    ASSERT_TRUE(got.finished);
    EXPECT_EQ(got.finishes, 1);
    EXPECT_EQ(got.offers, c.offered ? 1 : 0);
  }
  EXPECT_TRUE(foreign.requestLines().isEmpty());
}

TEST(UpdateChecker, RefusedConnectionIsSilent) {
  QUrl url;
  {
    VersionServer closed;  // its port is free again once it is gone
    url = closed.url("/kurvana/version.txt");
  }
  const Outcome got = check(url);
  ASSERT_TRUE(got.finished);
  EXPECT_EQ(got.finishes, 1);
  EXPECT_EQ(got.offers, 0);
}

TEST(UpdateChecker, TimeOutsEndTheCheckSilently) {
  VersionServer server;  // "/silent" is never answered
  const QByteArray trickled = httpResponse(200, "version1.1" + QByteArray(90, ' '));
  server.answer("/trickle", trickled, trickled.indexOf("\r\n\r\n") + 4);
  for (const char* path : {"/silent", "/trickle"}) {
    SCOPED_TRACE(path);
    const Outcome got = check(server.url(path), 300);
    ASSERT_TRUE(got.finished);
    EXPECT_EQ(got.finishes, 1);
    EXPECT_EQ(got.offers, 0);
    EXPECT_GE(got.elapsedMs, 250);
    EXPECT_LT(got.elapsedMs, 3000);  // the trickle alone would take 10 s
  }
}

TEST(UpdateChecker, StartReturnsAtOnceAndDeletingInFlightIsSafe) {
  VersionServer server;
  auto* checker = new UpdateChecker(server.url("/silent"));
  QSignalSpy finished(checker, &UpdateChecker::finished);
  QElapsedTimer clock;
  clock.start();
  checker->start();
  EXPECT_LT(clock.elapsed(), 500);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requestLines().isEmpty(); }, 5000));
  delete checker;
  QTest::qWait(100);
  EXPECT_EQ(finished.count(), 0);
}

TEST(UpdateChecker, ASlotMayDeleteTheChecker) {
  VersionServer server;
  server.answer("/v", httpResponse(200, "version1.1"));
  // The window drops the checker when it is finished.
  bool dropped = false;
  auto* checker = new UpdateChecker(server.url("/v"));
  QObject::connect(checker, &UpdateChecker::finished, [&] {
    delete checker;
    dropped = true;
  });
  checker->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return dropped; }, 5000));

  // Or when it offers: the exit path may take it down before finished().
  bool gone = false;
  int finishes = 0;
  checker = new UpdateChecker(server.url("/v"));
  QObject::connect(checker, &UpdateChecker::updateOffered, [&] { delete checker; });
  QObject::connect(checker, &UpdateChecker::finished, [&] { ++finishes; });
  QObject::connect(checker, &QObject::destroyed, [&] { gone = true; });
  checker->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return gone; }, 5000));
  QTest::qWait(30);
  EXPECT_EQ(finishes, 0);
}

}  // namespace
}  // namespace kurvana::ui
