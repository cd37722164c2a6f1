#include "support/instrumented_element.hpp"

namespace test_support {
namespace {

struct Watched {
  const Probe* first = nullptr;
  std::size_t size = 0;
  KernelTally tally;

  void note(const Probe* p, bool write) {
    if (first == nullptr || p < first || p >= first + size) return;
    auto& flags = write ? tally.written : tally.read;
    flags[static_cast<std::size_t>(p - first)] = true;
  }
};

Watched primary, secondary;

void note_read(const Probe* p) {
  primary.note(p, false);
  secondary.note(p, false);
}
void note_write(const Probe* p) {
  primary.note(p, true);
  secondary.note(p, true);
}

void reset(Watched& w, const Probe* first, std::size_t size) {
  w.first = first;
  w.size = size;
  w.tally = KernelTally{};
  kit::reset_thread_work_counts();
  w.tally.read.assign(size, false);
  w.tally.written.assign(size, false);
}

}  // namespace

void watch(const Probe* first, std::size_t size) {
  reset(primary, first, size);
  reset(secondary, nullptr, 0);
}
void watch_also(const Probe* first, std::size_t size) { reset(secondary, first, size); }
namespace {

KernelTally seen_by(const Watched& w) {
  KernelTally seen = w.tally;
  static_cast<kit::WorkCounts&>(seen) = kit::thread_work_counts();
  return seen;
}

}  // namespace

KernelTally tally() { return seen_by(primary); }
KernelTally tally_of_second() { return seen_by(secondary); }

Probe::Probe(const Probe& other) : CountedElement(other), tag_(other.tag_) { note_read(&other); }

Probe& Probe::operator=(const Probe& other) {
  CountedElement::operator=(other);
  note_read(&other);
  note_write(this);
  tag_ = other.tag_;
  return *this;
}

const kit::CountedElement& Probe::compared(const Probe& a, const Probe& b) {
  note_read(&a);
  note_read(&b);
  return a;
}

std::vector<Probe> probes_at_one(const std::vector<std::int32_t>& keys) {
  std::vector<Probe> probes;
  probes.reserve(keys.size() + 2);
  probes.emplace_back(-999, 0);
  for (std::size_t i = 0; i < keys.size(); ++i) probes.emplace_back(keys[i], static_cast<std::int32_t>(i + 1));
  probes.emplace_back(-999, 0);
  return probes;
}

std::vector<std::int32_t> keys_of(const std::vector<Probe>& probes, std::size_t first, std::size_t last) {
  std::vector<std::int32_t> keys;
  for (std::size_t i = first; i <= last; ++i) keys.push_back(probes[i].key());
  return keys;
}

std::vector<std::int32_t> tags_of(const std::vector<Probe>& probes, std::size_t first, std::size_t last) {
  std::vector<std::int32_t> tags;
  for (std::size_t i = first; i <= last; ++i) tags.push_back(probes[i].tag());
  return tags;
}

std::vector<std::size_t> touched_outside(const KernelTally& tally, std::size_t first, std::size_t last) {
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < tally.read.size(); ++i) {
    if ((i < first || i > last) && (tally.read[i] || tally.written[i])) positions.push_back(i);
  }
  return positions;
}

}  // namespace test_support
