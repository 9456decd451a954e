#pragma once

#include "platform/Network.h"

// NetworkManager over the system bus; with no NetworkManager the phone book is empty and the
// online state comes from Qt's network information.
class NetworkManagerNetwork final : public Network {
public:
    QStringList phoneBook() override;
    QStringList activeConnections() override;
    Online online() override;
    bool connectTo(const QString& name) override;
};
