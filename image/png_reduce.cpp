// Choosing the smallest PNG colour type and bit depth that keeps every pixel, and packing
// the samples in it.
#include <algorithm>
#include <array>
#include <new>

#include "image/png_optimize.h"

namespace morvane {

namespace {

constexpr int PaletteLimit = 256;

// The distinct RGBA colours of a picture, up to PaletteLimit, with their order of arrival.
class ColourTable {
  public:
    ColourTable() { slot_index_.fill(-1); }

    // The colour's number, adding it while there is room; -1 once the table is full.
    int find_or_add(std::uint32_t c) {
        std::size_t s = slot(c);
        while (slot_index_[s] >= 0) {
            if (keys_[s] == c) return slot_index_[s];
            s = (s + 1) % Slots;
        }
        if (static_cast<int>(colours.size()) >= PaletteLimit) return -1;
        keys_[s] = c;
        slot_index_[s] = static_cast<std::int16_t>(colours.size());
        colours.push_back(c);
        return slot_index_[s];
    }

    int find(std::uint32_t c) const {
        for (std::size_t s = slot(c); slot_index_[s] >= 0; s = (s + 1) % Slots)
            if (keys_[s] == c) return slot_index_[s];
        return -1;
    }

    std::vector<std::uint32_t> colours;

  private:
    static constexpr std::size_t Slots = 1024;  // at most a quarter full: short probes
    static std::size_t slot(std::uint32_t c) { return (c * 2654435761u) >> 22; }
    std::array<std::uint32_t, Slots> keys_{};
    std::array<std::int16_t, Slots> slot_index_{};
};

// Colours are held as red | green << 8 | blue << 16 | alpha << 24.
constexpr std::uint32_t alpha_of(std::uint32_t c) {
    return c >> 24;
}

// The smallest grey bit depth (1, 2, 4, 8) at which every level present is an exact sample:
// a level v is one at depth d when v is a multiple of 255 / (2^d - 1).
int grey_depth(const std::array<bool, 256>& present) {
    for (int d : {1, 2, 4}) {
        const int step = 255 / ((1 << d) - 1);
        bool exact = true;
        for (int v = 0; v < 256 && exact; ++v) exact = !present[v] || v % step == 0;
        if (exact) return d;
    }
    return 8;
}

int palette_depth(std::size_t count) {
    return count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8;
}

void put_sample(std::uint8_t* row, std::int32_t x, int bits, unsigned value) {
    if (bits == 8) {
        row[x] = static_cast<std::uint8_t>(value);
        return;
    }
    const std::size_t at = static_cast<std::size_t>(x) * bits;
    row[at / 8] |= static_cast<std::uint8_t>(value << (8 - bits - at % 8));
}

}  // namespace

bool png_reduce(const std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride,
                bool bottom_up, int bpp, bool palette_allowed, PngReduced& out) {
    if (!pixels || width <= 0 || height <= 0 || stride <= 0 || (bpp != 24 && bpp != 32)) return false;
    try {
        const std::size_t w = static_cast<std::size_t>(width), count = w * static_cast<std::size_t>(height);
        std::vector<std::uint32_t> rgba(count);
        ColourTable table;
        std::array<bool, 256> grey_levels{};
        bool grey = true, opaque = true, many = false;
        // Transparency as one key colour: every pixel that is not opaque is this alpha-0 colour.
        bool keyed = true, has_key = false;
        std::uint32_t key = 0, previous = 0;
        const int step = bpp / 8;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* in =
                pixels + static_cast<std::ptrdiff_t>(bottom_up ? height - 1 - y : y) * stride;
            std::uint32_t* row = rgba.data() + static_cast<std::size_t>(y) * w;
            for (std::int32_t x = 0; x < width; ++x, in += step) {
                const std::uint32_t a = bpp == 32 ? in[3] : 255;
                const std::uint32_t c = in[2] | in[1] << 8 | in[0] << 16 | a << 24;
                row[x] = c;
                if ((x > 0 || y > 0) && c == previous) continue;  // runs are common in sheets
                previous = c;
                if (in[0] != in[1] || in[1] != in[2]) grey = false;
                grey_levels[in[0]] = true;
                if (a != 255) {
                    opaque = false;
                    if (a != 0 || (has_key && c != key)) keyed = false;
                    if (!has_key) key = c, has_key = true;
                }
                if (!many) many = table.find_or_add(c) < 0;
            }
        }
        // A key colour also marks every opaque pixel of its red, green and blue.
        if (!opaque && keyed) {
            const std::uint32_t shown = key | 0xFF000000u;
            keyed = many ? std::find(rgba.begin(), rgba.end(), shown) == rgba.end() : table.find(shown) < 0;
        }

        out = PngReduced{};
        out.width = width, out.height = height;
        // The direct form: grey or RGB, opaque, with a key colour, or with an alpha channel.
        int channels = grey ? 1 : 3;
        out.bit_depth = grey && (opaque || keyed) ? grey_depth(grey_levels) : 8;
        if (opaque || keyed) {
            out.color_type = grey ? PngGrey : PngRgb;
        } else {
            out.color_type = grey ? PngGreyAlpha : PngRgba;
            ++channels;
        }
        const std::uint32_t key_level = (key & 255) / (255 / ((1u << out.bit_depth) - 1));
        if (!opaque && keyed && grey) {
            out.trns = {static_cast<std::uint8_t>(key_level >> 8), static_cast<std::uint8_t>(key_level)};
        } else if (!opaque && keyed) {
            out.trns = {0, static_cast<std::uint8_t>(key),      0, static_cast<std::uint8_t>(key >> 8),
                        0, static_cast<std::uint8_t>(key >> 16)};
        }
        // A palette wins when its indices are narrower than the direct samples.
        std::vector<std::uint8_t> remap;
        if (palette_allowed && !many && palette_depth(table.colours.size()) < channels * out.bit_depth) {
            out.color_type = PngPalette;
            out.bit_depth = palette_depth(table.colours.size());
            channels = 1;
            // Translucent entries first, so that the tRNS chunk stops at the last of them.
            remap.resize(table.colours.size());
            std::vector<std::uint32_t> order;
            for (int pass = 0; pass < 2; ++pass)
                for (std::size_t i = 0; i < table.colours.size(); ++i)
                    if ((alpha_of(table.colours[i]) != 255) == (pass == 0)) {
                        remap[i] = static_cast<std::uint8_t>(order.size());
                        order.push_back(table.colours[i]);
                    }
            out.trns.clear();
            for (std::uint32_t c : order) {
                out.plte.insert(out.plte.end(),
                                {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                 static_cast<std::uint8_t>(c >> 16)});
                if (alpha_of(c) != 255) out.trns.push_back(static_cast<std::uint8_t>(alpha_of(c)));
            }
        }

        const int bits = out.bit_depth;
        out.row_bytes = (w * static_cast<std::size_t>(channels * bits) + 7) / 8;
        out.samples.assign(out.row_bytes * static_cast<std::size_t>(height), 0);
        const unsigned grey_step = 255 / ((1u << bits) - 1);
        int index = 0;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint32_t* in = rgba.data() + static_cast<std::size_t>(y) * w;
            std::uint8_t* row = out.samples.data() + static_cast<std::size_t>(y) * out.row_bytes;
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint32_t c = in[x];
                switch (out.color_type) {
                    case PngPalette:
                        if (x == 0 || c != in[x - 1]) index = remap[static_cast<std::size_t>(table.find(c))];
                        put_sample(row, x, bits, static_cast<unsigned>(index));
                        break;
                    case PngGrey:
                        put_sample(row, x, bits, (c & 255) / grey_step);
                        break;
                    case PngGreyAlpha:
                        row[2 * x] = static_cast<std::uint8_t>(c),
                                row[2 * x + 1] = static_cast<std::uint8_t>(c >> 24);
                        break;
                    case PngRgb:
                        row[3 * x] = static_cast<std::uint8_t>(c),
                                row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8),
                                row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
                        break;
                    case PngRgba:
                        for (int k = 0; k < 4; ++k) row[4 * x + k] = static_cast<std::uint8_t>(c >> (8 * k));
                        break;
                }
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace morvane
