#pragma once

#include <QByteArray>

// The built-in word list (resources/dictionary.txt, compiled into the
// program): one lower-case word per entry, in alphabetical order, addressed
// by ids from 0.
namespace Dictionary {

// The word with this id, or empty when the list holds no entry with it.
QByteArray GetString(int id);

// How many entries the list holds.
int count();

} // namespace Dictionary
