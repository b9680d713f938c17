#pragma once

#include "social/chatsender.h"

#include <QList>
#include <QTest>

// A chat sender from a seat of the test's choosing whose messages land in a
// list, without their terminators.
struct Outbox
{
    int seat = 2;
    QList<QByteArray> sent;
    ChatSender sender{[this] { return seat; },
                      [this](const QByteArray &m) {
                          QVERIFY(m.endsWith('\xFF'));
                          sent << m.chopped(1);
                      }};
};
