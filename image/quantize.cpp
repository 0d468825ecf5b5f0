// Median cut in the variance-minimising form: the box with the largest squared error is
// split along its widest channel where the two halves' summed squared error is least,
// until there are enough boxes; each box's weighted mean becomes a palette entry.
#include "image/quantize.h"

#include <algorithm>
#include <new>

namespace morvane {

namespace {

struct ColorCount {
    std::uint32_t rgb;  // 0xRRGGBB
    std::uint32_t count;
};

int channel(std::uint32_t rgb, int c) {
    return static_cast<int>((rgb >> (16 - 8 * c)) & 255);
}

// A range [begin, end) of the distinct-colour list.
struct Box {
    std::size_t begin;
    std::size_t end;
    int widest;    // channel with the largest range: 0 red, 1 green, 2 blue
    double error;  // weighted squared distance of its colours to their mean; 0: cannot split
};

Box make_box(const std::vector<ColorCount>& colors, std::size_t begin, std::size_t end) {
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    double sum[3] = {0, 0, 0}, squares = 0, total = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const double n = colors[i].count;
        total += n;
        for (int c = 0; c < 3; ++c) {
            const int v = channel(colors[i].rgb, c);
            lo[c] = std::min(lo[c], v);
            hi[c] = std::max(hi[c], v);
            sum[c] += n * v;
            squares += n * v * v;
        }
    }
    Box box{begin, end, 0, 0.0};
    for (int c = 1; c < 3; ++c)
        if (hi[c] - lo[c] > hi[box.widest] - lo[box.widest]) box.widest = c;
    if (end - begin >= 2) box.error = squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / total;
    return box;
}

// Index in (begin, end) where splitting the box (sorted along channel c) leaves the least
// squared error along that channel.
std::size_t best_cut(const std::vector<ColorCount>& colors, const Box& box, int c) {
    double total = 0, sum = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        total += colors[i].count;
        sum += colors[i].count * static_cast<double>(channel(colors[i].rgb, c));
    }
    std::size_t cut = box.begin + 1;
    double best = -1, left_n = 0, left_sum = 0;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
        left_n += colors[i].count;
        left_sum += colors[i].count * static_cast<double>(channel(colors[i].rgb, c));
        if (channel(colors[i].rgb, c) == channel(colors[i + 1].rgb, c)) continue;  // cut between values only
        const double right_n = total - left_n, right_sum = sum - left_sum;
        // Each side's squared error is (sum of squares) - sum^2 / n; maximise the subtracted part.
        const double gain = left_sum * left_sum / left_n + right_sum * right_sum / right_n;
        if (gain > best) {
            best = gain;
            cut = i + 1;
        }
    }
    return cut;
}

std::uint32_t pixel_rgb(const std::uint8_t* p, int bpp) {
    unsigned b = p[0], g = p[1], r = p[2];
    if (bpp == 32) {
        const unsigned a = p[3];
        b = (b * a + 255u * (255u - a)) / 255u;
        g = (g * a + 255u * (255u - a)) / 255u;
        r = (r * a + 255u * (255u - a)) / 255u;
    }
    return r << 16 | g << 8 | b;
}

std::uint8_t nearest(const std::vector<std::uint32_t>& palette, int used, std::uint32_t rgb) {
    int best = 0;
    long best_distance = -1;
    for (int i = 0; i < used; ++i) {
        long d = 0;
        for (int c = 0; c < 3; ++c) {
            const long delta = channel(rgb, c) - channel(palette[i], c);
            d += delta * delta;
        }
        if (best_distance < 0 || d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

bool quantize_picture(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                      std::int32_t stride, int bpp, bool bottom_up, int colors, QuantizedPicture& out) {
    if (!pixels || width <= 0 || height <= 0 || (bpp != 24 && bpp != 32) || colors < 2 || colors > 256)
        return false;
    const int step = bpp / 8;
    try {
        const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        std::vector<std::uint32_t> rgb(count);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::int32_t memory_row = bottom_up ? height - 1 - y : y;
            const std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(memory_row) * stride;
            for (std::int32_t x = 0; x < width; ++x, p += step)
                rgb[static_cast<std::size_t>(y) * width + x] = pixel_rgb(p, bpp);
        }

        // Distinct colours with their pixel counts, sorted by value.
        std::vector<std::uint32_t> sorted(rgb);
        std::sort(sorted.begin(), sorted.end());
        std::vector<ColorCount> distinct;
        for (std::size_t i = 0; i < sorted.size();) {
            std::size_t j = i;
            while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
            distinct.push_back({sorted[i], static_cast<std::uint32_t>(j - i)});
            i = j;
        }
        sorted.clear();
        sorted.shrink_to_fit();

        out.palette.assign(static_cast<std::size_t>(colors), 0);
        int used = 0;
        if (distinct.size() <= static_cast<std::size_t>(colors)) {
            for (const ColorCount& c : distinct) out.palette[used++] = c.rgb;
        } else {
            std::vector<Box> boxes{make_box(distinct, 0, distinct.size())};
            while (boxes.size() < static_cast<std::size_t>(colors)) {
                auto worst = std::max_element(boxes.begin(), boxes.end(),
                                              [](const Box& a, const Box& b) { return a.error < b.error; });
                if (worst->error <= 0) break;
                const Box box = *worst;
                const int c = box.widest;
                std::sort(distinct.begin() + box.begin, distinct.begin() + box.end,
                          [c](const ColorCount& a, const ColorCount& b) {
                              return channel(a.rgb, c) < channel(b.rgb, c);
                          });
                const std::size_t cut = best_cut(distinct, box, c);
                *worst = make_box(distinct, box.begin, cut);
                boxes.push_back(make_box(distinct, cut, box.end));
            }
            for (const Box& box : boxes) {
                std::uint64_t sum[3] = {0, 0, 0}, total = 0;
                for (std::size_t i = box.begin; i < box.end; ++i) {
                    for (int c = 0; c < 3; ++c)
                        sum[c] += static_cast<std::uint64_t>(channel(distinct[i].rgb, c)) * distinct[i].count;
                    total += distinct[i].count;
                }
                std::uint32_t mean = 0;
                for (int c = 0; c < 3; ++c)
                    mean = mean << 8 | static_cast<std::uint32_t>((sum[c] + total / 2) / total);
                out.palette[used++] = mean;
            }
        }

        // Index of every distinct colour, then of every pixel by binary search.
        std::sort(distinct.begin(), distinct.end(),
                  [](const ColorCount& a, const ColorCount& b) { return a.rgb < b.rgb; });
        std::vector<std::uint8_t> index_of(distinct.size());
        for (std::size_t i = 0; i < distinct.size(); ++i)
            index_of[i] = nearest(out.palette, used, distinct[i].rgb);
        out.indices.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const auto it = std::lower_bound(distinct.begin(), distinct.end(), rgb[i],
                                             [](const ColorCount& a, std::uint32_t v) { return a.rgb < v; });
            out.indices[i] = index_of[static_cast<std::size_t>(it - distinct.begin())];
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace morvane
