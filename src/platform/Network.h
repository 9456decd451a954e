#pragma once

#include <QString>
#include <QStringList>

// Connection profiles and state, as the dial-up window shows them.
class Network {
public:
    enum class Online { Yes, No, Unknown };

    virtual ~Network() = default;

    // Connection profile names, in the platform's order; empty when nothing manages them.
    virtual QStringList phoneBook() = 0;
    // Names of the connections that are up now.
    virtual QStringList activeConnections() = 0;
    virtual Online online() = 0;
    // Brings a connection up without waiting; false when that cannot be started.
    virtual bool connectTo(const QString& name) = 0;
};
