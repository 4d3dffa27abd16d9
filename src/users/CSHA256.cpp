#include "users/CSHA256.h"

#include <QCryptographicHash>

QString CSHA256::SHA256(const QString& texto) const {
    QByteArray bytes;
    bytes.reserve(texto.size());
    // Un carácter por encima de 255 solo aporta su byte bajo (8364, el euro, da 172).
    for (const QChar c : texto) bytes.append(char(c.unicode() & 0xFF));
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}
