#pragma once
// The remote instrument's sockets: a TCP server on the GUI loop whose
// clients each get an instrument session. It never lets a client hold up
// the window or the sound: each event-loop turn handles at most a few lines
// per client, a client's input is read only as fast as its lines are run
// (the rest waits in the kernel, which slows the sender), and a client that
// does not read its answers is disconnected once they pile up.

#include "instrument/InstrumentSettings.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QTcpServer;
class QTcpSocket;
class TInstrumentTarget;

class TQtScpiServer final : public QObject {
public:
  /// Lines run per client in one turn of the event loop.
  static constexpr int LinesPerTurn = 32;
  /// Answers a client may leave unread before it is disconnected.
  static constexpr qint64 MaxUnreadOutput = 1 << 20;

  /// target must outlive the server.
  explicit TQtScpiServer(TInstrumentTarget& target);
  ~TQtScpiServer() override;

  /// Closes any listening and clients, then listens as settings say; the
  /// error text (a port in use) when it cannot, and then listens nowhere.
  std::string Listen(const TInstrumentSettings& settings);
  void Close();
  bool Listening() const { return !FServers.empty(); }
  int Clients() const;

  /// Runs when a client connects or leaves.
  std::function<void()> OnClientsChanged;

private:
  struct TClient;
  void Accept(QTcpServer& server);
  bool Allowed(const QTcpSocket& socket) const;
  void ScheduleTurn();
  void Turn();
  /// Runs up to LinesPerTurn of the client's lines; true when more wait.
  bool Serve(TClient& client);
  void Drop(TClient& client);
  void RemoveDropped();

  TInstrumentTarget& FTarget;
  TInstrumentSettings FSettings;
  std::vector<std::string> FAllowed;
  std::vector<QTcpServer*> FServers;
  std::vector<std::unique_ptr<TClient>> FClients;
  bool FTurnScheduled = false;
  bool FInTurn = false;      // a handler's modal dialog runs the loop inside a turn
  bool FTurnMissed = false;  // input arrived meanwhile
};
