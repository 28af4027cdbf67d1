// A small JSON reader for the fixture manifests (one object per line). Enough of JSON for
// them: objects, arrays, strings with escapes (\uXXXX and surrogate pairs to UTF-8), numbers,
// true, false and null.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvello::testing {

class Json {
  public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    static Json Parse(const std::string& text);  // throws std::runtime_error on bad input

    Kind kind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }
    bool Has(const std::string& key) const {
        return kind_ == Kind::Object && object_.count(key) != 0;
    }
    const Json& operator[](const std::string& key) const;  // a null value when absent
    const std::vector<Json>& Items() const { return array_; }
    const std::string& Str() const { return string_; }
    double Num() const { return number_; }
    long long Int() const { return static_cast<long long>(number_); }
    bool Bool() const { return bool_; }

  private:
    friend class JsonParser;
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<Json> array_;
    std::map<std::string, Json> object_;
};

// Every line of a MANIFEST.jsonl file, parsed.
std::vector<Json> ReadJsonLines(const std::string& path);

}  // namespace orvello::testing
