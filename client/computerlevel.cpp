#include "client/computerlevel.h"

#include <algorithm>
#include <cmath>

namespace {

// Seconds. Hard reads a five-letter straight word in about 4.7 s, Normal in
// about 9 s, Easy in about 15 s; a quick human player beats Normal.
constexpr ComputerLevel::Profile profiles[] = {
    {6.0, 1.4, 1.6, 0.55, 0.15, 0.03, 0.10},   // Easy
    {3.0, 0.8, 1.5, 0.45, 0.05, 0.015, 0.05},  // Normal
    {1.2, 0.3, 1.4, 0.35, 0.0, 0.0, 0.0},      // Hard
};

// A look time this many spreads above or below the median never comes up.
constexpr double tail = 3.0;

double medianLookSeconds(const ComputerLevel::Profile &p, int length, bool scrambled)
{
    const double seconds = p.baseSeconds + p.perLetterSeconds * length;
    return scrambled ? seconds * p.scrambledFactor : seconds;
}

// A standard normal draw (Box-Muller).
double normal(QRandomGenerator &random)
{
    const double u1 = 1.0 - random.generateDouble();   // (0, 1]
    const double u2 = random.generateDouble();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
}

} // namespace

const ComputerLevel::Profile &ComputerLevel::profile(Level level)
{
    return profiles[std::clamp(int(level), int(Easy), int(Hard))];
}

double ComputerLevel::missChance(Level level, int length, bool scrambled)
{
    const Profile &p = profile(level);
    const double chance = p.missChance + p.missPerLetter * std::max(0, length - 3) + (scrambled ? p.scrambledMiss : 0.0);
    return std::clamp(chance, 0.0, 1.0);
}

int ComputerLevel::medianWaitMs(Level level, int length, bool scrambled)
{
    return shortestWaitMs + int(std::lround(1000.0 * medianLookSeconds(profile(level), length, scrambled)));
}

ComputerLevel::Attempt ComputerLevel::draw(Level level, int length, bool scrambled, QRandomGenerator &random)
{
    const Profile &p = profile(level);
    Attempt attempt;
    attempt.finds = random.generateDouble() >= missChance(level, length, scrambled);
    const double z = std::clamp(normal(random), -tail, tail);
    const double look = medianLookSeconds(p, length, scrambled) * std::exp(p.spread * z);
    attempt.waitMs = shortestWaitMs + int(std::lround(1000.0 * look));
    return attempt;
}

QString ComputerLevel::text(Level level)
{
    switch (level) {
    case Easy: return QStringLiteral("Easy");
    case Normal: return QStringLiteral("Normal");
    case Hard: return QStringLiteral("Hard");
    }
    return QString();
}

bool ComputerLevel::fromText(const QString &text, Level &level)
{
    for (Level l : {Easy, Normal, Hard}) {
        if (text.compare(ComputerLevel::text(l), Qt::CaseInsensitive) == 0) {
            level = l;
            return true;
        }
    }
    return false;
}
