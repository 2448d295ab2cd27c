// A small HTTP server on 127.0.0.1 for the update check's tests: it answers
// each path with a canned response and records the request lines, so no test
// reaches beyond this machine.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <map>
#include <memory>

namespace kurvana::ui {

inline QByteArray httpResponse(int status, const QByteArray& body, const QByteArray& headers = {}) {
  return "HTTP/1.1 " + QByteArray::number(status) +
         " Status\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

// The body in chunks of at most `chunk` bytes (Transfer-Encoding: chunked),
// so the answer names no length.
inline QByteArray chunkedResponse(int status, const QByteArray& body, qsizetype chunk = 1000) {
  QByteArray out = "HTTP/1.1 " + QByteArray::number(status) +
                   " Status\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
  for (qsizetype at = 0; at < body.size(); at += chunk) {
    const QByteArray piece = body.mid(at, chunk);
    out += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
  }
  return out + "0\r\n\r\n";
}

// A path it does not know gets no answer at all. A trickled response sends
// its first `head` bytes, then one byte every 100 ms; a stalled one its first
// `head` bytes, then nothing more on the open connection. An endless path
// answers 200 with chunks of "version1.1" and spaces until the client goes
// away.
class VersionServer {
 public:
  VersionServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
  }

  void answer(const QByteArray& path, const QByteArray& response, qsizetype head = -1) {
    routes_[path] = {response, head, head < 0 ? Pace::kWhole : Pace::kTrickle};
  }
  void answerThenStall(const QByteArray& path, const QByteArray& response, qsizetype head) {
    routes_[path] = {response, head, Pace::kStall};
  }
  void answerEndlessly(const QByteArray& path) { routes_[path] = {{}, 0, Pace::kEndless}; }
  QUrl url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
  }
  const QList<QByteArray>& requestLines() const { return requestLines_; }
  // Stalled and endless answers whose client closed the connection.
  int droppedByClient() const { return dropped_; }

 private:
  enum class Pace { kWhole, kTrickle, kStall, kEndless };
  struct Route {
    QByteArray response;
    qsizetype head;
    Pace pace;
  };

  void accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      socket->setParent(&server_);
      auto received = std::make_shared<QByteArray>();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
        received->append(socket->readAll());
        if (!received->contains("\r\n\r\n")) return;
        const QByteArray line = received->left(received->indexOf("\r\n"));
        received->clear();
        requestLines_.append(line);
        const auto route = routes_.find(line.split(' ').value(1));
        if (route != routes_.end()) respond(socket, route->second);
      });
    }
  }

  void respond(QTcpSocket* socket, const Route& route) {
    if (route.pace == Pace::kStall || route.pace == Pace::kEndless) {
      QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { ++dropped_; });
    }
    if (route.pace == Pace::kEndless) {
      streamEndlessly(socket);
      return;
    }
    if (route.pace == Pace::kStall) {
      socket->write(route.response.left(route.head));
      return;
    }
    if (route.pace == Pace::kWhole) {
      socket->write(route.response);
      socket->disconnectFromHost();
      return;
    }
    socket->write(route.response.left(route.head));
    auto* drip = new QTimer(socket);
    auto next = std::make_shared<qsizetype>(route.head);
    QObject::connect(drip, &QTimer::timeout, socket, [socket, next, response = route.response] {
      if (*next < response.size()) socket->write(response.mid((*next)++, 1));
    });
    drip->start(100);
  }

  // Keeps a few chunks queued, so the stream goes as fast as the client reads.
  void streamEndlessly(QTcpSocket* socket) {
    socket->write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    const QByteArray piece = "version1.1" + QByteArray(4086, ' ');
    const QByteArray chunk = QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
    auto* pump = new QTimer(socket);
    QObject::connect(pump, &QTimer::timeout, socket, [socket, chunk] {
      while (socket->state() == QAbstractSocket::ConnectedState &&
             socket->bytesToWrite() < 4 * chunk.size()) {
        if (socket->write(chunk) < 0) break;
      }
    });
    QObject::connect(socket, &QTcpSocket::disconnected, pump, &QTimer::stop);
    pump->start(1);
  }

  QTcpServer server_;
  std::map<QByteArray, Route> routes_;
  QList<QByteArray> requestLines_;
  int dropped_ = 0;
};

}  // namespace kurvana::ui
