#include "ui/update_checker.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <string_view>
#include <utility>

#include "app/update_check.h"

namespace kurvana::ui {

UpdateChecker::UpdateChecker(QUrl versionDocument, int timeoutMs, QObject* parent)
    : QObject(parent), versionDocument_(std::move(versionDocument)), timeoutMs_(timeoutMs) {}

UpdateChecker::~UpdateChecker() {
  // Aborting emits the reply's finished(); nothing of ours may answer it now.
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    delete reply_;
  }
}

void UpdateChecker::start() {
  if (started_) return;
  started_ = true;
  QNetworkRequest request(versionDocument_);
  // The transfer time-out catches a silent server; the timer below also a
  // server that trickles.
  request.setTransferTimeout(timeoutMs_);
  // A redirect to another host could lead to a real server: not followed.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::SameOriginRedirectPolicy);
  reply_ = network_.get(request);
  QNetworkReply* reply = reply_;
  // Qt holds no more than this between our reads, whatever the server sends.
  reply->setReadBufferSize(kMaxDocumentBytes + 1);
  QTimer::singleShot(timeoutMs_, reply, [reply] { reply->abort(); });
  // The cap counts the bytes we read ourselves, as they arrive. Qt's progress
  // comes at most every 100 ms and only with new data, so a chunked answer
  // (which names no length) could pile up megabytes before it, or pass the
  // cap, stall and be held until the timer.
  connect(reply, &QNetworkReply::readyRead, this, &UpdateChecker::readArrived);
  connect(reply, &QNetworkReply::finished, this, &UpdateChecker::conclude);
}

void UpdateChecker::readArrived() {
  if (!reply_) return;
  body_ += reply_->read(kMaxDocumentBytes + 1 - body_.size());
  // Aborting finishes the reply at once, through conclude().
  if (body_.size() > kMaxDocumentBytes) reply_->abort();
}

void UpdateChecker::conclude() {
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  if (!reply) return;
  reply->disconnect(this);
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
  if (ok) body_ += reply->read(kMaxDocumentBytes + 1 - body_.size());  // anything not yet read
  // The body's UTF-8 bytes as they came; offersUpdate counts bytes.
  const QByteArray body = ok && body_.size() <= kMaxDocumentBytes ? body_ : QByteArray();
  body_.clear();
  const bool offered = offersUpdate(std::string_view(body.constData(), body.size()));
  reply->deleteLater();
  // Our signals go out from the event loop, not from inside the reply's own
  // finished(), so that a slot may delete the checker and with it the reply.
  QMetaObject::invokeMethod(
      this,
      [this, offered] {
        if (offered) {
          const QPointer<UpdateChecker> alive(this);
          emit updateOffered();
          if (!alive) return;
        }
        emit finished();
      },
      Qt::QueuedConnection);
}

}  // namespace kurvana::ui
