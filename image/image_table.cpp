// The image table: fixed numbered slots and dynamic records, plus the queries.
#include "image/image_table.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "image/image.h"

namespace morvane {

namespace {

// Fixed slots hold records behind unique_ptr so that growing the slot array never moves a
// record. Dynamic records are keyed by their own address, which is their number.
struct ImageTable {
    std::vector<std::unique_ptr<Image>> slots = std::vector<std::unique_ptr<Image>>(16);
    std::unordered_map<ObjectNumber, std::unique_ptr<Image>> dynamic;
};

// Never destroyed: images may still be freed by other objects during static destruction.
ImageTable& table() {
    static ImageTable* instance = new ImageTable;
    return *instance;
}

// The record a number names (live or not), or null.
Image* find_record(ObjectNumber number) {
    ImageTable& t = table();
    if (number >= 0 && static_cast<std::size_t>(number) < t.slots.size()) return t.slots[number].get();
    auto it = t.dynamic.find(number);
    return it == t.dynamic.end() ? nullptr : it->second.get();
}

}  // namespace

void image_release_storage(Image* record) {
    if (!record) return;
    bitmap_destroy(bitmap_from_handle(record->handle));
    *record = Image{};
}

Image* image_record(ObjectNumber number) {
    Image* record = find_record(number);
    return record && record->handle ? record : nullptr;
}

Image* image_take_record(ObjectNumber number, ObjectNumber* result_number) {
    ImageTable& t = table();
    if (number == -1) {
        auto record = std::make_unique<Image>();
        Image* raw = record.get();
        const auto dynamic_number = reinterpret_cast<ObjectNumber>(raw);
        t.dynamic.emplace(dynamic_number, std::move(record));
        if (result_number) *result_number = dynamic_number;
        return raw;
    }
    // A live dynamic number used again: free its image, keep its record.
    if (auto it = t.dynamic.find(number); it != t.dynamic.end()) {
        image_release_storage(it->second.get());
        if (result_number) *result_number = number;
        return it->second.get();
    }
    if (number < 0 || number > MaxFixedImageNumber) return nullptr;
    if (static_cast<std::size_t>(number) >= t.slots.size())
        t.slots.resize(static_cast<std::size_t>(number) + 16);
    auto& slot = t.slots[static_cast<std::size_t>(number)];
    if (slot) {
        image_release_storage(slot.get());
    } else {
        slot = std::make_unique<Image>();
    }
    if (result_number) *result_number = number;
    return slot.get();
}

void image_release_record(ObjectNumber number) {
    ImageTable& t = table();
    if (auto it = t.dynamic.find(number); it != t.dynamic.end()) {
        image_release_storage(it->second.get());
        t.dynamic.erase(it);
        return;
    }
    if (Image* record = find_record(number)) image_release_storage(record);
}

void image_free(ObjectNumber number) {
    ImageTable& t = table();
    if (number == -1) {
        for (auto& slot : t.slots) image_release_storage(slot.get());
        for (auto& entry : t.dynamic) image_release_storage(entry.second.get());
        t.dynamic.clear();
        return;
    }
    // A dynamic record left without storage (after a failed resize) is discarded too.
    image_release_record(number);
}

int image_width(ObjectNumber number) {
    const Image* record = image_record(number);
    return record ? record->width : 0;
}

int image_height(ObjectNumber number) {
    const Image* record = image_record(number);
    return record ? record->height : 0;
}

std::intptr_t image_handle(ObjectNumber number) {
    const Image* record = image_record(number);
    return record ? record->handle : 0;
}

int image_exists(ObjectNumber number) {
    return image_record(number) ? 1 : 0;
}

std::size_t image_slot_count() {
    return table().slots.size();
}

}  // namespace morvane
