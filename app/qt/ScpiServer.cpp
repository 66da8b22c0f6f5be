#include "app/qt/ScpiServer.h"

#include "instrument/InstrumentSession.h"
#include "instrument/LineSplitter.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <array>

struct TQtScpiServer::TClient {
  TClient(QTcpSocket* socket, TInstrumentTarget& target, const std::string& presetFolder)
      : Socket(socket), Session(target, presetFolder) {}
  QTcpSocket* Socket;
  TLineSplitter Lines;
  TInstrumentSession Session;
  bool Dropped = false;
};

TQtScpiServer::TQtScpiServer(TInstrumentTarget& target) : FTarget(target) {}

TQtScpiServer::~TQtScpiServer() { Close(); }

int TQtScpiServer::Clients() const {
  int count = 0;
  for (const auto& c : FClients) count += c->Dropped ? 0 : 1;
  return count;
}

void TQtScpiServer::Close() {
  for (QTcpServer* server : FServers) delete server;
  FServers.clear();
  for (auto& client : FClients) Drop(*client);
  RemoveDropped();
}

std::string TQtScpiServer::Listen(const TInstrumentSettings& settings) {
  Close();
  FSettings = settings;
  const auto allowed = ParseAllowedClients(settings.AllowedClients);
  FAllowed = settings.Network && std::holds_alternative<std::vector<std::string>>(allowed)
                 ? std::get<std::vector<std::string>>(allowed)
                 : std::vector<std::string>{};
  const std::vector<QHostAddress> addresses =
      settings.Network ? std::vector<QHostAddress>{QHostAddress(QHostAddress::Any)}
                       : std::vector<QHostAddress>{QHostAddress(QHostAddress::LocalHost),
                                                   QHostAddress(QHostAddress::LocalHostIPv6)};
  std::string error;
  for (const QHostAddress& address : addresses) {
    auto* server = new QTcpServer(this);
    server->setMaxPendingConnections(TInstrumentSettings::MaxClients);
    if (!server->listen(address, settings.Port)) {
      // A machine without IPv6 still has the IPv4 loopback.
      if (address != QHostAddress(QHostAddress::LocalHostIPv6) ||
          server->serverError() == QAbstractSocket::AddressInUseError)
        error = "port " + std::to_string(settings.Port) + " cannot be used (" +
                server->errorString().toStdString() + ")";
      delete server;
      continue;
    }
    connect(server, &QTcpServer::newConnection, this, [this, server] { Accept(*server); });
    FServers.push_back(server);
  }
  if (!error.empty() || FServers.empty()) {
    Close();
    return error.empty() ? "no address to listen on" : error;
  }
  return {};
}

bool TQtScpiServer::Allowed(const QTcpSocket& socket) const {
  if (FAllowed.empty()) return true;
  for (const std::string& a : FAllowed)
    if (QHostAddress(QString::fromStdString(a)).isEqual(socket.peerAddress(), QHostAddress::TolerantConversion))
      return true;
  return false;
}

void TQtScpiServer::Accept(QTcpServer& server) {
  while (QTcpSocket* socket = server.nextPendingConnection()) {
    if (Clients() >= TInstrumentSettings::MaxClients || !Allowed(*socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    // Qt reads no more than this ahead of the lines being run; the kernel's
    // buffers and TCP's flow control hold the rest back at the sender.
    socket->setReadBufferSize(TLineSplitter::MaxLineBytes);
    socket->setParent(this);
    FClients.push_back(std::make_unique<TClient>(socket, FTarget, FSettings.PresetFolder));
    // Input is served at once; what a turn leaves waits for the next turn, so other events run between.
    connect(socket, &QTcpSocket::readyRead, this, [this] { Turn(); });
    connect(socket, &QTcpSocket::disconnected, this, [this] { ScheduleTurn(); });
    if (OnClientsChanged) OnClientsChanged();
  }
}

void TQtScpiServer::ScheduleTurn() {
  if (FTurnScheduled) return;
  FTurnScheduled = true;
  QTimer::singleShot(0, this, [this] {
    FTurnScheduled = false;
    Turn();
  });
}

void TQtScpiServer::Turn() {
  if (FInTurn) {  // a command runs the loop (a modal message): serve again once it has ended
    FTurnMissed = true;
    return;
  }
  FInTurn = true;
  FTurnMissed = false;
  bool more = false;
  for (size_t i = 0; i < FClients.size(); ++i) {  // a command may accept new clients meanwhile
    TClient& client = *FClients[i];
    if (client.Dropped) continue;
    if (client.Socket->state() != QAbstractSocket::ConnectedState && client.Socket->bytesAvailable() == 0 &&
        !client.Lines.HasLine()) {
      Drop(client);
      continue;
    }
    more = Serve(client) || more;
  }
  FInTurn = false;
  RemoveDropped();
  if (more || FTurnMissed) ScheduleTurn();
}

bool TQtScpiServer::Serve(TClient& client) {
  QTcpSocket& socket = *client.Socket;
  std::array<char, 16384> chunk{};
  for (int lines = 0; lines < LinesPerTurn;) {
    if (!client.Lines.HasLine()) {
      const qint64 peeked = socket.peek(chunk.data(), static_cast<qint64>(chunk.size()));
      if (peeked <= 0) return false;
      const size_t taken = client.Lines.Feed(std::string_view(chunk.data(), static_cast<size_t>(peeked)));
      socket.read(chunk.data(), static_cast<qint64>(taken));  // what the lines took; the rest stays
      continue;
    }
    const auto line = client.Lines.Next();
    ++lines;
    std::string answer;
    if (line->TooLong) {
      client.Session.LineTooLong();
    } else {
      answer = client.Session.Execute(line->Text);
    }
    if (client.Dropped) return false;  // closed while the command ran
    if (!answer.empty()) socket.write(answer.data(), static_cast<qint64>(answer.size()));
    if (socket.bytesToWrite() > MaxUnreadOutput) {
      Drop(client);
      return false;
    }
  }
  return client.Lines.HasLine() || socket.bytesAvailable() > 0;
}

void TQtScpiServer::Drop(TClient& client) {
  if (client.Dropped) return;
  client.Dropped = true;
  client.Socket->disconnect(this);
  client.Socket->abort();
  client.Socket->deleteLater();
}

void TQtScpiServer::RemoveDropped() {
  if (FInTurn) return;
  const size_t before = FClients.size();
  std::erase_if(FClients, [](const auto& c) { return c->Dropped; });
  if (FClients.size() != before && OnClientsChanged) OnClientsChanged();
}
