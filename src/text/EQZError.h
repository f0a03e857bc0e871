#pragma once
// The one exception type of the common library: an operation that cannot go
// on throws EQZError with its exact (often German) message text.
//
//   throw qz::EQZError(QStringLiteral("0-Byte-Datei"));

#include <QString>
#include <stdexcept>

namespace qz {

class EQZError : public std::runtime_error {
public:
    explicit EQZError(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}

    [[nodiscard]] const QString& message() const noexcept { return FMessage; }

private:
    QString FMessage;
};

} // namespace qz
