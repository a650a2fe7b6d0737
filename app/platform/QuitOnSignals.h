#pragma once

#include <QObject>

namespace app {

// Ends the event loop normally on SIGTERM, SIGINT and SIGHUP (a session that logs out, a
// Ctrl+C in the terminal), so that the program leaves as if the user chose Quit: status 0,
// windows and GL context released in order. The handler only writes to a pipe; the event
// loop does the rest.
class QuitOnSignals : public QObject {
    Q_OBJECT

  public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;

  private:
    int pipe_[2] = {-1, -1};
};

} // namespace app
