// Reference expansion: every $NAME$ whose NAME is a variable is replaced by its
// value, and the value is scanned again, so references inside values expand
// to any depth. Scanning goes left to right and never looks back:
//   - a known reference is replaced and the scan resumes at the start of the
//     inserted value;
//   - an unknown reference (an empty name included, so "$$" is no escape) stays
//     as it is and the scan resumes at its closing "$", which may open the next
//     reference: "$X$Y$" with only Y known gives "$X" + value of Y;
//   - a "$" with no second "$" after it ends the scan.
//
// Instead of rewriting one string in place (which moves the whole tail for
// every replacement), the text still to scan is kept as a stack of pieces:
// the input at the bottom and each inserted value pushed on top. Finished text
// is appended to the result and never touched again, so the work is linear in
// the size of the result.
//
// Each piece has a nesting level, one more than the piece whose reference it
// replaced. Levels grow strictly towards the top of the stack, so the level of
// a new value is the top piece's level + 1. A self-referencing value raises the
// level with every round and is stopped by ExpansionLimits::maxNesting.
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

struct Piece {
  std::string text;
  size_t pos = 0;    // next byte to scan
  size_t level = 0;  // 0 for the input, n for a value inserted n levels deep
};

class Expander {
 public:
  Expander(const TVariableManager& store, const ExpansionLimits& limits, bool quoted, size_t inputSize)
      : store_(store), limits_(limits), quoted_(quoted), maxLength_(inputSize + limits.maxGrowth) {}

  std::string run(std::string_view text) {
    pending_.push_back(Piece{std::string(text), 0, 0});
    pendingSize_ = text.size();
    out_.reserve(text.size() + text.size() / 2);
    while (!pending_.empty()) {
      if (!step()) {
        copyRest();
        break;
      }
    }
    return std::move(out_);
  }

 private:
  // Where the closing "$" of the reference that opens the top piece lies.
  struct Closing {
    size_t piece;
    size_t pos;
  };

  // Handles the text up to and including the next reference. Returns false
  // when the scan must end with the rest of the text left as it is.
  bool step() {
    Piece& top = pending_.back();
    size_t open = top.text.find('$', top.pos);
    if (open == std::string::npos) {
      consumeInto(out_, top.text.size() - top.pos);
      return true;
    }
    consumeInto(out_, open - top.pos);

    name_.clear();
    std::optional<Closing> closing = findClosing(name_);
    if (!closing) return false;  // a lone "$": nothing after it can be a reference

    const size_t level = pending_.back().level + 1;
    const size_t referenceSize = name_.size() + 2;
    bool overLimit = false;
    bool appended = false;  // a value without "$" goes straight to the result
    std::string inserted;
    bool found = level <= limits_.maxNesting && store_.WithValue(name_, [&](const std::string& value) {
      const size_t insertedSize = value.size() + (quoted_ ? 2 : 0);
      if (substitutions_ >= limits_.maxSubstitutions ||
          out_.size() + pendingSize_ - referenceSize + insertedSize > maxLength_) {
        overLimit = true;
        return;
      }
      // Scanning a value without "$" would only copy it to the result.
      std::string& target = value.find('$') == std::string::npos ? out_ : inserted;
      appended = &target == &out_;
      if (quoted_) target += '"';
      target += value;
      if (quoted_) target += '"';
    });
    if (!found) {
      // Unknown (or too deep): keep "$NAME" and go on at the closing "$".
      out_ += '$';
      out_ += name_;
      consumeUpTo(*closing, false);
      return true;
    }
    if (overLimit) return false;
    ++substitutions_;
    consumeUpTo(*closing, true);
    if (!appended) {
      pendingSize_ += inserted.size();
      pending_.push_back(Piece{std::move(inserted), 0, level});
    }
    return true;
  }

  // The top piece starts with "$". Collects the name after it, which may run
  // across pieces, up to the next "$".
  std::optional<Closing> findClosing(std::string& name) const {
    size_t index = pending_.size() - 1;
    size_t from = pending_[index].pos + 1;
    for (;;) {
      const std::string& text = pending_[index].text;
      size_t close = text.find('$', from);
      if (close != std::string::npos) {
        name.append(text, from, close - from);
        return Closing{index, close};
      }
      name.append(text, from, std::string::npos);
      if (index == 0) return std::nullopt;
      --index;
      from = pending_[index].pos;
    }
  }

  // Appends count bytes of the top piece to target and drops the piece when done.
  void consumeInto(std::string& target, size_t count) {
    Piece& top = pending_.back();
    target.append(top.text, top.pos, count);
    top.pos += count;
    pendingSize_ -= count;
    if (top.pos == top.text.size()) pending_.pop_back();
  }

  // Drops the pending text up to the closing "$" (and the "$" itself when
  // includingClosing).
  void consumeUpTo(const Closing& closing, bool includingClosing) {
    while (pending_.size() - 1 > closing.piece) {
      pendingSize_ -= pending_.back().text.size() - pending_.back().pos;
      pending_.pop_back();
    }
    Piece& piece = pending_.back();
    size_t newPos = closing.pos + (includingClosing ? 1 : 0);
    pendingSize_ -= newPos - piece.pos;
    piece.pos = newPos;
    if (piece.pos == piece.text.size()) pending_.pop_back();
  }

  void copyRest() {
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it) out_.append(it->text, it->pos, std::string::npos);
    pending_.clear();
    pendingSize_ = 0;
  }

  const TVariableManager& store_;
  const ExpansionLimits limits_;
  const bool quoted_;
  const size_t maxLength_;
  std::vector<Piece> pending_;
  size_t pendingSize_ = 0;
  size_t substitutions_ = 0;
  std::string out_;
  std::string name_;  // reused for every reference
};

}  // namespace

std::string TVariableManager::expand(std::string_view text, bool quoted) const {
  if (text.find('$') == std::string_view::npos) return std::string(text);
  ExpansionLimits limits;
  {
    std::lock_guard guard(mutex_);
    limits = limits_;
  }
  return Expander(*this, limits, quoted, text.size()).run(text);
}

}  // namespace kox
