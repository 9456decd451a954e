#pragma once

#include <QByteArray>
#include <QString>

// Fetches the whole update descriptor over HTTP while the window waits, as the check was
// designed: user input is held back until the transfer ends or the time limit passes.
class DescriptorFetch final {
public:
    struct Result {
        QByteArray body;
        QString error; // empty on success
        bool ok() const { return error.isEmpty(); }
    };

    // Time for the whole transfer, from the request to the last byte.
    void setTimeLimit(int ms) { timeLimitMs_ = ms; }
    int timeLimit() const { return timeLimitMs_; }

    // Only http and https addresses are fetched, and redirects are followed only to them (never
    // from https to http). A transfer counts as failed when it ends in a
    // network error, runs out of time, answers with a status other than 200, has an empty body
    // or grows past maxBytes.
    Result fetch(const QString& address) const;

    // A descriptor is a few hundred bytes; anything this large is not one.
    static constexpr qint64 maxBytes = 1024 * 1024;

private:
    int timeLimitMs_ = 30000;
};
