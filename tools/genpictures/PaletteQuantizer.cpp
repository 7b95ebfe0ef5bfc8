#include "PaletteQuantizer.h"

#include <algorithm>
#include <tuple>

namespace {

QRgb opaque(QRgb colour)
{
    return colour | 0xFF000000u;
}

// Weighted squared distance; green counts most, blue least, as the eye sees.
long long distance(QRgb a, QRgb b)
{
    const long long dr = qRed(a) - qRed(b);
    const long long dg = qGreen(a) - qGreen(b);
    const long long db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int mix(int a, int b, int step)
{
    const int steps = PaletteQuantizer::RampSteps;
    return (a * (steps - step) + b * step + steps / 2) / steps;
}

QRgb blend(QRgb a, QRgb b, int step)
{
    return qRgb(mix(qRed(a), qRed(b), step), mix(qGreen(a), qGreen(b), step),
                mix(qBlue(a), qBlue(b), step));
}

bool contains(const std::vector<QRgb> &colours, QRgb colour)
{
    return std::find(colours.begin(), colours.end(), colour) != colours.end();
}

} // namespace

std::map<QRgb, long long> PaletteQuantizer::histogram(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, long long> counts;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[opaque(line[x])];
    }
    return counts;
}

std::vector<QRgb> PaletteQuantizer::buildPalette(const std::map<QRgb, long long> &histogram,
                                                 const std::vector<QRgb> &keyColours)
{
    std::vector<QRgb> palette;
    for (QRgb key : keyColours) {
        if (palette.size() < std::size_t(PaletteSize) && !contains(palette, opaque(key)))
            palette.push_back(opaque(key));
    }
    const std::size_t keys = palette.size();

    // Every blend step between two key colours is a candidate; each colour
    // that is not a key colour votes, by its pixel count, for the nearest.
    struct Candidate
    {
        QRgb colour;
        long long votes = 0;
        std::size_t order;
    };
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < keys; ++i) {
        for (std::size_t j = i + 1; j < keys; ++j) {
            for (int step = 1; step < RampSteps; ++step)
                candidates.push_back({blend(palette[i], palette[j], step), 0, candidates.size()});
        }
    }
    std::vector<std::pair<QRgb, long long>> leftovers;
    for (const auto &[colour, count] : histogram) {
        if (std::find(palette.begin(), palette.begin() + std::ptrdiff_t(keys), colour)
            != palette.begin() + std::ptrdiff_t(keys)) {
            continue;
        }
        leftovers.emplace_back(colour, count);
        Candidate *best = nullptr;
        long long bestDistance = 0;
        for (Candidate &candidate : candidates) {
            const long long d = distance(candidate.colour, colour);
            if (!best || d < bestDistance) {
                best = &candidate;
                bestDistance = d;
            }
        }
        if (best)
            best->votes += count;
    }

    // A picture with few colours keeps them all exactly.
    if (keys + leftovers.size() <= std::size_t(PaletteSize)) {
        for (const auto &leftover : leftovers)
            palette.push_back(leftover.first);
    } else {
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate &a, const Candidate &b) {
                             return std::tie(b.votes, a.order) < std::tie(a.votes, b.order);
                         });
        for (const Candidate &candidate : candidates) {
            if (palette.size() >= std::size_t(PaletteSize) || candidate.votes == 0)
                break;
            if (!contains(palette, candidate.colour))
                palette.push_back(candidate.colour);
        }
        std::stable_sort(leftovers.begin(), leftovers.end(),
                         [](const auto &a, const auto &b) { return a.second > b.second; });
        for (const auto &leftover : leftovers) {
            if (palette.size() >= std::size_t(PaletteSize))
                break;
            if (!contains(palette, leftover.first))
                palette.push_back(leftover.first);
        }
    }
    const QRgb filler = palette.empty() ? qRgb(0, 0, 0) : palette.back();
    palette.resize(std::size_t(PaletteSize), filler);
    return palette;
}

int PaletteQuantizer::nearest(const std::vector<QRgb> &palette, QRgb colour)
{
    int best = 0;
    long long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long long d = distance(palette[i], colour);
        if (bestDistance < 0 || d < bestDistance) {
            best = int(i);
            bestDistance = d;
            if (d == 0)
                break;
        }
    }
    return best;
}

IndexedImage PaletteQuantizer::quantize(const QImage &image, const std::vector<QRgb> &keyColours)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const std::map<QRgb, long long> counts = histogram(rgb);

    IndexedImage result;
    result.width = rgb.width();
    result.height = rgb.height();
    result.palette = buildPalette(counts, keyColours);
    std::map<QRgb, std::uint8_t> index;
    for (const auto &entry : counts)
        index[entry.first] = std::uint8_t(nearest(result.palette, entry.first));

    result.pixels.resize(std::size_t(result.width) * std::size_t(result.height));
    std::size_t at = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            result.pixels[at++] = index[opaque(line[x])];
    }
    return result;
}
