// The update check's request: one asynchronous GET of the version document
// that reports whether it offers a newer version. Every failure is silent.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkReply;

namespace kurvana::ui {

class UpdateChecker : public QObject {
  Q_OBJECT

 public:
  // The largest version document read; a longer answer counts as a failure
  // and ends the request as soon as one byte more has arrived.
  static constexpr qint64 kMaxDocumentBytes = 64 * 1024;

  // `timeoutMs` bounds the whole request, from start() to the last byte.
  explicit UpdateChecker(QUrl versionDocument, int timeoutMs = 10000, QObject* parent = nullptr);
  // Safe while a request is in flight: it is dropped and nothing is emitted.
  ~UpdateChecker() override;

  // Sends the request and returns at once; the answer arrives through the
  // event loop. Only the first call does anything.
  void start();

 signals:
  // The document names another version than kOwnVersion (offersUpdate).
  void updateOffered();
  // Emitted once per start(), after updateOffered when there is one, and on
  // every failure (no connection, an error status, a time-out, a body that
  // offers nothing). Nothing in the checker runs after it, so a slot may
  // delete the checker.
  void finished();

 private:
  // Moves what arrived into body_, ending the request once it passes the cap.
  void readArrived();
  void conclude();

  QUrl versionDocument_;
  int timeoutMs_;
  QNetworkAccessManager network_;
  QPointer<QNetworkReply> reply_;
  // The document as read so far: at most one byte over the cap.
  QByteArray body_;
  bool started_ = false;
};

}  // namespace kurvana::ui
