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
  QTimer::singleShot(timeoutMs_, reply, [reply] { reply->abort(); });
  // Stops an oversized answer early; conclude() drops one that arrived whole.
  connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
    if (received > kMaxDocumentBytes) reply->abort();
  });
  connect(reply, &QNetworkReply::finished, this, &UpdateChecker::conclude);
}

void UpdateChecker::conclude() {
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const bool received = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                        reply->bytesAvailable() <= kMaxDocumentBytes;
  // The body's UTF-8 bytes as they came; offersUpdate counts bytes.
  const QByteArray body = received ? reply->readAll() : QByteArray();
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
