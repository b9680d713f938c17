#pragma once

#include <QByteArray>

// Reads the fields of a message's payload from the front, one "+" at a time.
// An integer field that cannot be read throws Unreadable, which the
// dispatcher takes as the end of that message's handling: what the handler
// did before that field stands.
class FieldReader
{
public:
    struct Unreadable
    {
    };

    explicit FieldReader(const QByteArray &payload) : m_rest(payload) {}

    // The next field: the text before the first "+", removed together with
    // its "+". With no "+" left the field is empty and nothing is removed.
    QByteArray text();

    // The next field as a 32-bit integer: an optional "-" and decimal digits.
    int integer();

    // The rest of the payload as a 32-bit integer: a number in last place,
    // which no "+" follows.
    int lastInteger() const;

    // The rest of the payload, "+" signs included: the last text field.
    const QByteArray &rest() const { return m_rest; }

    // Lists of repeated groups that fill the rest of the payload: begin, then
    // read groups while the list has not ended.
    void beginList() { m_rest += "+@"; }
    bool listEnded() const { return m_rest == "@"; }

    // Strict decimal conversion used for every integer field.
    static bool parseInt(const QByteArray &text, int &value);

private:
    QByteArray m_rest;
};
