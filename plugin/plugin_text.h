#pragma once
// How text is handed to the host.

#include <array>
#include <cstddef>
#include <memory_resource>
#include <string_view>

#include "plugin/answer_slots.h"

namespace plugin {

// Answers that are never released. Each is one byte-aligned piece with no
// allocator header, carved from blocks of a fixed size: a refused block fails
// the one answer that asked for it, never every later one, as a block that
// grows with the arena would in a 32-bit host. A long answer takes a block of
// its own, so the end a block leaves unused is always short. Each block
// starts with two words that chain it to the one before.
class TextArena {
public:
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    // An answer of this many bytes or more, NUL included, is a block of its own.
    static constexpr std::size_t kOwnBlockBytes = 4 * 1024;
    // What chains a block to the one before, at its start.
    static constexpr std::size_t kBlockHeaderBytes = sizeof(void*) + sizeof(std::size_t);

    explicit TextArena(std::pmr::memory_resource* upstream = std::pmr::new_delete_resource()) : upstream_(upstream) {}
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    // Its texts go with it; the module's own arena is never destroyed.
    ~TextArena();

    // The text last handed out in `slot` when it still reads exactly `text`
    // (cut at its first NUL, as the host reads it), else a new NUL-terminated
    // copy, then noted in `slot`; "" and the status texts, which any path may
    // answer, have one copy for every slot. A host that wrote into an answer
    // so gets a new one with the right text. Not synchronised: callers that
    // may overlap must take turns.
    char* reuseOrCopy(std::string_view text, AnswerSlot& slot);

private:
    // At the start of each block taken from upstream, so that the blocks can
    // be given back when the arena goes.
    struct Block {
        Block* previous;
        std::size_t size;
    };
    static_assert(sizeof(Block) == kBlockHeaderBytes);

    char* copy(std::string_view text);
    // The slot every path shares for `text`, or nullptr.
    AnswerSlot* sharedSlot(std::string_view text) noexcept;
    char* piece(std::size_t size);
    // A new block with `room` bytes for pieces.
    char* block(std::size_t room);

    std::pmr::memory_resource* upstream_;
    Block* last_ = nullptr;
    char* blockEnd_ = nullptr;
    std::size_t blockLeft_ = 0;
    std::array<AnswerSlot, 3> shared_;
};

// The module's one arena of answers. The host has no way to hand a text back
// and may keep every pointer it was given, so nothing in it is ever released:
// each answer stays valid for the life of the process, even after the module
// is unloaded.
TextArena& answers();

}  // namespace plugin
