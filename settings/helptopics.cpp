#include "settings/helptopics.h"

namespace {

QList<HelpTopic> makeTopics()
{
    QList<HelpTopic> topics;

    topics.append({QStringLiteral("Overview"), 1, {
        QStringLiteral("Overview"),
        QString(),
        QStringLiteral("I wanted to create a new word game and this is what I came up with. "
                       "I hope you enjoy it!"),
    }});

    topics.append({QStringLiteral("Connecting"), 2, {
        QStringLiteral("Connecting"),
        QString(),
        QStringLiteral("Solo games: start Zarvex without arguments and it hosts a game on "
                       "this computer alone (127.0.0.1) under the name \"You\". Press Start "
                       "Game to play. No internet connection is needed, but a firewall on "
                       "this computer must let the program use its own network connections. "
                       "For somebody to play against, the host can add computer players "
                       "from File, Add Computer Player."),
        QString(),
        QStringLiteral("Multi-player games: one player hosts and the others join. The host "
                       "starts \"zarvex NAME ADDRESS true\"; everybody else starts "
                       "\"zarvex NAME HOST-ADDRESS join\" with the address of the host's "
                       "computer. A lobby program can start the game this way for you."),
        QString(),
        QStringLiteral("If nobody can join your game, your computer does not let them in: "
                       "allow incoming TCP connections on port 7772 in its firewall, and "
                       "forward port 7772 to it on your router when players join over the "
                       "internet."),
        QString(),
        QStringLiteral("Dedicated server: zarvex-server runs a game without a player window "
                       "and listens on port 7772. The first player to join it takes seat 1 "
                       "and with it the host's rights: starting games, removing players and "
                       "setting them to just watch. zarvex-bot brings a computer player to "
                       "any game."),
        QString(),
        QStringLiteral("If the host (usually the first player in the list) disconnects, all "
                       "game play ends: the game runs in the host's copy. A dedicated server "
                       "keeps running, and the next player to join takes seat 1."),
    }});

    topics.append({QStringLiteral("Game Play"), 3, {
        QStringLiteral("Game Play"),
        QString(),
        QStringLiteral("All players are shown a board with a mixture of letters. They are also "
                       "given a word that can be found on the board. All the letters of the "
                       "word will be connecting."),
        QString(),
        QStringLiteral("Click on the letters of the word in order on the board to find it. "
                       "After you find a word, you are given points equal to the time left on "
                       "the clock. So the quicker you find the word, the more points you "
                       "receive."),
        QString(),
        QStringLiteral("If you pick a wrong letter, clear your selection by clicking the "
                       "\"Clear Word\" button or simply right clicking on the board."),
        QString(),
        QStringLiteral("The first player to reach the play to score will win the game."),
    }});

    topics.append({QStringLiteral("Scoring"), 4, {
        QStringLiteral("Scoring"),
        QString(),
        QStringLiteral("When you find the word you receive points equal to the time left on "
                       "the clock."),
        QString(),
        QStringLiteral("The first person to reach the play to score will win the game."),
    }});

    topics.append({QStringLiteral("Documentation"), 5, {
        QStringLiteral("History"),
        QString(),
        QStringLiteral("Copies play together when their version is the same: 1.0.5. The "
                       "number after it counts builds."),
        QString(),
        QStringLiteral("Version 1.0.5.4, December 2026"),
        QStringLiteral("- The first release for the Linux desktop."),
        QStringLiteral("- Help and about windows; the about window shows the version that "
                       "copies compare when a player joins."),
        QStringLiteral("- Installs like any desktop game: a menu entry, icons, manual pages "
                       "zarvex(6) and zarvex-server(6), and a Debian package."),
        QStringLiteral("- Computer players: File, Add Computer Player, and zarvex-bot."),
        QStringLiteral("- zarvex-server, the dedicated server, with an example service for "
                       "systemd."),
        QString(),
        QStringLiteral("Development builds, December 2026"),
        QStringLiteral("- The chat: coloured names, smilies and clickable links."),
        QStringLiteral("- Whole games: the game start dialog, rounds, scores, the found "
                       "marks and the winner."),
        QStringLiteral("- Straight and scrambled boards of 10 by 9 letters, with words from "
                       "a list of 21,109."),
        QStringLiteral("- The network game on port 7772: up to six players and three "
                       "spectators; one copy per user."),
    }});

    topics.append({QStringLiteral("License"), 6, {
        QStringLiteral("License"),
        QString(),
        QStringLiteral("Zarvex is free software under the MIT License:"),
        QString(),
        QStringLiteral("Copyright (c) the Zarvex developers"),
        QString(),
        QStringLiteral("Permission is hereby granted, free of charge, to any person obtaining "
                       "a copy of this software and associated documentation files (the "
                       "\"Software\"), to deal in the Software without restriction, including "
                       "without limitation the rights to use, copy, modify, merge, publish, "
                       "distribute, sublicense, and/or sell copies of the Software, and to "
                       "permit persons to whom the Software is furnished to do so, subject to "
                       "the following conditions:"),
        QString(),
        QStringLiteral("The above copyright notice and this permission notice shall be "
                       "included in all copies or substantial portions of the Software."),
        QString(),
        QStringLiteral("THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, "
                       "EXPRESS OR IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF "
                       "MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND "
                       "NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE "
                       "LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION "
                       "OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION "
                       "WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE."),
        QString(),
        QStringLiteral("The word list"),
        QString(),
        QStringLiteral("The game's words come from SCOWL (Spell Checker Oriented Word Lists) "
                       "by Kevin Atkinson, by way of Debian's wamerican packages. Copyright "
                       "2000-2011 by Kevin Atkinson: permission to use, copy, modify, "
                       "distribute and sell these word lists for any purpose is granted "
                       "without fee, provided that the copyright notice and the permission "
                       "notice appear in all copies. The full notice, with the other authors "
                       "of the lists, is in the file dictionary-copyright.txt beside this "
                       "program's README."),
    }});

    topics.append({QStringLiteral("The Lobby"), 11, {
        QStringLiteral("The Lobby"),
        QString(),
        QStringLiteral("A lobby is a separate program that brings players together and starts "
                       "Zarvex for them. It is not part of Zarvex: any program can be one, and "
                       "players can just as well agree on a host and start the game "
                       "themselves (see Connecting)."),
        QString(),
        QStringLiteral("A lobby starts Zarvex with three arguments: the player's name, the "
                       "host's address, and \"true\" when this copy hosts the game (anything "
                       "else joins). While the game runs it holds a connection to the lobby "
                       "on this computer's port 9001, so the lobby knows the game is still "
                       "open; no messages go over it."),
        QString(),
        QStringLiteral("In a solo game a window tells you about the lobby; close it to play "
                       "alone."),
    }});

    return topics;
}

} // namespace

namespace HelpTopics {

const QList<HelpTopic> &all()
{
    static const QList<HelpTopic> topics = makeTopics();
    return topics;
}

const HelpTopic *byTag(int tag)
{
    for (const HelpTopic &topic : all())
        if (topic.tag == tag)
            return &topic;
    return nullptr;
}

} // namespace HelpTopics
