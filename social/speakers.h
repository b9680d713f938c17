#pragma once

#include "social/soundsink.h"

#include <QObject>
#include <QStringList>
#include <functional>

// The program's speakers. The sounds and the system's sound service live in
// a library of their own, zarvex-speakers, which is loaded with the first
// sound actually played: a copy that plays no sound never loads them, nor
// does one on a computer without a sound server to play through (the sound
// service plays through the desktop's PulseAudio or PipeWire server); it is
// looked for again at the next sound. Every sound goes to the library once
// loaded. Without it nothing is heard; a name that is no sound still gives
// the desktop's beep.
class Speakers : public QObject, public SoundSink
{
    Q_OBJECT

public:
    // The library's file name, and the entry point it offers: a function
    // that makes the sink the sounds go to, owned by the given parent.
    static constexpr const char *LibraryName = "libzarvex-speakers.so";
    static constexpr const char *EntryPoint = "zarvexSpeakers";
    using Maker = SoundSink *(*)(QObject *parent);

    // folders: where the library is looked for, in order; the program's
    // own folder, then the folder it is installed in, when not given.
    // serverReachable: whether a sound server is there to play through;
    // soundServerReachable() when not given.
    explicit Speakers(QObject *parent = nullptr, QStringList folders = defaultFolders(),
                      std::function<bool()> serverReachable = {});

    void play(const QString &name) override;

    // Whether the library has been loaded (it is tried once).
    bool loaded() const { return m_sink != nullptr; }
    // What plays for a name without a sound while there is no library.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    static QStringList defaultFolders();
    // A server named by pulseServer (the PULSE_SERVER variable), or the
    // socket of the user's server in the runtime folder, or of the
    // machine's in systemFolder.
    static bool soundServerIn(const QString &pulseServer, const QString &runtimeFolder,
                              const QString &systemFolder = QStringLiteral("/run/pulse"));
    static bool soundServerReachable();

private:
    void load();

    QStringList m_folders;
    std::function<bool()> m_serverReachable;
    bool m_tried = false;
    SoundSink *m_sink = nullptr;
    std::function<void()> m_beep;
};
