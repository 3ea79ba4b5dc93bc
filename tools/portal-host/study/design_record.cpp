#include "study/design_record.h"

#include <cstring>

namespace portalhost {
namespace {

class Writer {
 public:
  void u64(std::uint64_t v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void f64(double v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void text(const std::string& t) {
    u64(t.size());
    bytes_ += t;
  }
  void texts(const std::vector<std::string>& list) {
    u64(list.size());
    for (const std::string& t : list) text(t);
  }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool u64(std::uint64_t& v) { return raw(&v, sizeof v); }
  bool f64(double& v) { return raw(&v, sizeof v); }
  bool i32(int& v) {
    std::uint64_t wide;
    if (!u64(wide)) return false;
    v = static_cast<int>(static_cast<std::int64_t>(wide));
    return true;
  }
  bool text(std::string& t) {
    std::uint64_t size;
    if (!u64(size) || size > bytes_.size() - at_) return false;
    t.assign(bytes_.data() + at_, static_cast<std::size_t>(size));
    at_ += static_cast<std::size_t>(size);
    return true;
  }
  bool count(std::uint64_t& n) {
    // Every element takes at least 8 bytes: a larger count is a torn record.
    return u64(n) && n <= (bytes_.size() - at_) / 8;
  }
  bool texts(std::vector<std::string>& list) {
    std::uint64_t n;
    if (!count(n)) return false;
    list.resize(static_cast<std::size_t>(n));
    for (std::string& t : list) {
      if (!text(t)) return false;
    }
    return true;
  }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  bool raw(void* out, std::size_t size) {
    if (bytes_.size() - at_ < size) return false;
    std::memcpy(out, bytes_.data() + at_, size);
    at_ += size;
    return true;
  }
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace

const ResponseResult* DesignRecord::response(const std::string& name) const {
  for (const ResponseResult& r : responses) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

const double* DesignRecord::value(const std::string& name) const {
  for (const auto& [parameter, number] : values) {
    if (parameter == name) return &number;
  }
  return nullptr;
}

std::string encodeRecord(const DesignRecord& record) {
  Writer w;
  w.u64(record.design);
  w.u64(record.values.size());
  for (const auto& [name, value] : record.values) {
    w.text(name);
    w.f64(value);
  }
  w.u64(record.ok ? 1 : 0);
  w.text(record.stage);
  w.texts(record.messages);
  w.u64(record.responses.size());
  for (const ResponseResult& r : record.responses) {
    w.text(r.name);
    w.u64(r.numbers.size());
    for (double x : r.numbers) w.f64(x);
    w.texts(r.texts);
    w.text(r.error);
  }
  w.u64(static_cast<std::uint64_t>(static_cast<std::int64_t>(record.exitCode)));
  w.f64(record.seconds);
  w.f64(record.portalSeconds);
  w.u64(static_cast<std::uint64_t>(record.attempts));
  w.texts(record.earlierAttempts);
  w.text(record.jobId);
  return w.take();
}

bool decodeRecord(std::string_view bytes, DesignRecord& record) {
  Reader r(bytes);
  DesignRecord out;
  std::uint64_t n, flag;
  if (!r.u64(out.design) || !r.count(n)) return false;
  out.values.resize(static_cast<std::size_t>(n));
  for (auto& [name, value] : out.values) {
    if (!r.text(name) || !r.f64(value)) return false;
  }
  if (!r.u64(flag) || !r.text(out.stage) || !r.texts(out.messages) || !r.count(n)) return false;
  out.ok = flag != 0;
  out.responses.resize(static_cast<std::size_t>(n));
  for (ResponseResult& response : out.responses) {
    std::uint64_t numbers;
    if (!r.text(response.name) || !r.count(numbers)) return false;
    response.numbers.resize(static_cast<std::size_t>(numbers));
    for (double& x : response.numbers) {
      if (!r.f64(x)) return false;
    }
    if (!r.texts(response.texts) || !r.text(response.error)) return false;
  }
  if (!r.i32(out.exitCode) || !r.f64(out.seconds) || !r.f64(out.portalSeconds) || !r.i32(out.attempts) ||
      !r.texts(out.earlierAttempts) || !r.text(out.jobId) || !r.atEnd()) {
    return false;
  }
  record = std::move(out);
  return true;
}

}  // namespace portalhost
