#include "Json.h"

#include "archive/RarNames.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace orvello::testing {

class JsonParser {
  public:
    explicit JsonParser(const std::string& s) : s_(s) {}

    Json Document() {
        Json v = Value();
        Space();
        if (pos_ != s_.size()) Fail("trailing characters");
        return v;
    }

  private:
    [[noreturn]] void Fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(pos_));
    }

    void Space() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) {
            ++pos_;
        }
    }

    char Peek() {
        Space();
        if (pos_ >= s_.size()) Fail("unexpected end");
        return s_[pos_];
    }

    void Expect(char c) {
        if (Peek() != c) Fail("unexpected character");
        ++pos_;
    }

    bool Word(const char* w) {
        const std::string word(w);
        if (s_.compare(pos_, word.size(), word) != 0) return false;
        pos_ += word.size();
        return true;
    }

    Json Value() {
        Json v;
        const char c = Peek();
        if (c == '{') {
            v.kind_ = Json::Kind::Object;
            ++pos_;
            if (Peek() == '}') {
                ++pos_;
                return v;
            }
            for (;;) {
                if (Peek() != '"') Fail("key expected");
                std::string key = String();
                Expect(':');
                v.object_[key] = Value();
                if (Peek() == ',') {
                    ++pos_;
                    continue;
                }
                Expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.kind_ = Json::Kind::Array;
            ++pos_;
            if (Peek() == ']') {
                ++pos_;
                return v;
            }
            for (;;) {
                v.array_.push_back(Value());
                if (Peek() == ',') {
                    ++pos_;
                    continue;
                }
                Expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.kind_ = Json::Kind::String;
            v.string_ = String();
            return v;
        }
        if (Word("true")) {
            v.kind_ = Json::Kind::Bool;
            v.bool_ = true;
            return v;
        }
        if (Word("false")) {
            v.kind_ = Json::Kind::Bool;
            return v;
        }
        if (Word("null")) return v;
        const char* begin = s_.c_str() + pos_;
        char* end = nullptr;
        v.number_ = std::strtod(begin, &end);
        if (end == begin) Fail("value expected");
        pos_ += static_cast<std::size_t>(end - begin);
        v.kind_ = Json::Kind::Number;
        return v;
    }

    unsigned Hex4() {
        if (pos_ + 4 > s_.size()) Fail("short \\u escape");
        const unsigned v = static_cast<unsigned>(std::stoul(s_.substr(pos_, 4), nullptr, 16));
        pos_ += 4;
        return v;
    }

    std::string String() {
        Expect('"');
        std::string out;
        while (pos_ < s_.size() && s_[pos_] != '"') {
            char c = s_[pos_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) Fail("bad escape");
            c = s_[pos_++];
            switch (c) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    // A run of \u escapes is UTF-16, surrogate pairs included.
                    std::u16string units(1, static_cast<char16_t>(Hex4()));
                    while (s_.compare(pos_, 2, "\\u") == 0) {
                        pos_ += 2;
                        units += static_cast<char16_t>(Hex4());
                    }
                    out += archive::Utf16ToUtf8(units);
                    break;
                }
                default:
                    out += c;
                    break;
            }
        }
        Expect('"');
        return out;
    }

    const std::string& s_;
    std::size_t pos_ = 0;
};

Json Json::Parse(const std::string& text) {
    return JsonParser(text).Document();
}

const Json& Json::operator[](const std::string& key) const {
    static const Json kNull;
    const auto it = object_.find(key);
    return it == object_.end() ? kNull : it->second;
}

std::vector<Json> ReadJsonLines(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::vector<Json> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        out.push_back(Json::Parse(line));
    }
    return out;
}

}  // namespace orvello::testing
