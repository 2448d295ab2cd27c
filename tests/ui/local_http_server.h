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

// A path it does not know gets no answer at all. A trickled response sends
// its first `head` bytes, then one byte every 100 ms.
class VersionServer {
 public:
  VersionServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
  }

  void answer(const QByteArray& path, const QByteArray& response, qsizetype head = -1) {
    routes_[path] = {response, head};
  }
  QUrl url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
  }
  const QList<QByteArray>& requestLines() const { return requestLines_; }

 private:
  struct Route {
    QByteArray response;
    qsizetype head;
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

  static void respond(QTcpSocket* socket, const Route& route) {
    if (route.head < 0) {
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

  QTcpServer server_;
  std::map<QByteArray, Route> routes_;
  QList<QByteArray> requestLines_;
};

}  // namespace kurvana::ui
