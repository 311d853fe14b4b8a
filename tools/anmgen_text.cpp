// Compiles the readable animation description into .anm bytes through the animation classes'
// own writer, and dumps .anm bytes back into the description.
#include "tools/anmgen_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "anim/animation_object.h"
#include "core/text.h"

namespace {

struct Token {
    std::string text;
    bool quoted;
};

class Compiler {
public:
    Compiler(const std::string& name) : name_(name) {}

    bool fail(const std::string& reason) {
        if (error_.empty()) error_ = name_ + ":" + std::to_string(line_) + ": " + reason;
        return false;
    }

    bool tokenize(const std::string& line, std::vector<Token>& out) {
        out.clear();
        size_t i = 0;
        while (i < line.size()) {
            const char c = line[i];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
            } else if (c == ';') {
                break;
            } else if (c == '"') {
                std::string text;
                ++i;
                bool closed = false;
                while (i < line.size()) {
                    if (line[i] == '\\' && i + 1 < line.size()) {
                        text += line[i + 1];
                        i += 2;
                    } else if (line[i] == '"') {
                        closed = true;
                        ++i;
                        break;
                    } else {
                        text += line[i++];
                    }
                }
                if (!closed) return fail("text without its closing quote");
                out.push_back({text, true});
            } else {
                size_t j = i;
                int depth = 0;
                while (j < line.size() && (depth > 0 || (line[j] != ' ' && line[j] != '\t' &&
                                                         line[j] != ';' && line[j] != '\r'))) {
                    if (line[j] == '(') ++depth;
                    if (line[j] == ')') --depth;
                    ++j;
                }
                out.push_back({line.substr(i, j - i), false});
                i = j;
            }
        }
        return true;
    }

    bool number(const Token& t, float* v) {
        char* end = nullptr;
        const double d = strtod(t.text.c_str(), &end);
        if (t.quoted || t.text.empty() || *end || !std::isfinite(d))
            return fail("'" + t.text + "' is not a number");
        *v = static_cast<float>(d);
        return true;
    }

    bool integer(const Token& t, int32_t* v) {
        char* end = nullptr;
        const long n = strtol(t.text.c_str(), &end, 10);
        if (t.quoted || t.text.empty() || *end || n < INT32_MIN || n > INT32_MAX)
            return fail("'" + t.text + "' is not an integer");
        *v = static_cast<int32_t>(n);
        return true;
    }

    bool filter(const Token& t, C_FilterDesc* f) {
        *f = C_FilterDesc();
        if (t.text == "linear") f->kind = 0;
        else if (t.text == "hold") f->kind = 1;
        else if (t.text == "ease") f->kind = 2;
        else if (t.text.compare(0, 2, "f(") == 0 && t.text.back() == ')') {
            std::string inner = t.text.substr(2, t.text.size() - 3);
            for (char& c : inner)
                if (c == ',') c = ' ';
            std::vector<Token> parts;
            if (!tokenize(inner, parts)) return false;
            if (parts.size() != 5) return fail("a filter f(...) takes five numbers");
            return integer(parts[0], &f->kind) && number(parts[1], &f->c1.x) &&
                   number(parts[2], &f->c1.y) && number(parts[3], &f->c2.x) &&
                   number(parts[4], &f->c2.y);
        } else {
            return false;
        }
        return true;
    }

    static bool isFilter(const Token& t) {
        return !t.quoted && (t.text == "linear" || t.text == "hold" || t.text == "ease" ||
                             t.text.compare(0, 2, "f(") == 0);
    }

    // FILTER... [stop N] [sound "name"] from token i on; components filters to fill.
    bool keyTail(const std::vector<Token>& tk, size_t i, C_FilterDesc* filters, int components,
                 C_KeyBase* key) {
        std::vector<C_FilterDesc> given;
        while (i < tk.size() && isFilter(tk[i])) {
            C_FilterDesc f;
            if (!filter(tk[i], &f)) return fail("bad filter '" + tk[i].text + "'");
            given.push_back(f);
            ++i;
        }
        if (given.size() > 1 && given.size() != static_cast<size_t>(components))
            return fail("give one filter, or one per component");
        for (int c = 0; c < components; ++c)
            if (!given.empty()) filters[c] = given[given.size() == 1 ? 0 : c];
        while (i < tk.size()) {
            if (tk[i].text == "stop" && !tk[i].quoted && i + 1 < tk.size()) {
                if (!integer(tk[i + 1], &key->stop)) return false;
                i += 2;
            } else if (tk[i].text == "sound" && !tk[i].quoted && i + 1 < tk.size() &&
                       tk[i + 1].quoted) {
                key->SetSound(tk[i + 1].text.c_str());
                i += 2;
            } else {
                return fail("unexpected '" + tk[i].text + "'");
            }
        }
        return true;
    }

    template <class K>
    bool append(cArray<K*>& keys, K* key) {
        if (keys.size() && key->time < keys[keys.size() - 1]->time) {
            delete key;
            return fail("keys of a track must come in time order");
        }
        keys.push_back(key);
        return true;
    }

    bool colour(const Token& t, uint32_t* c) {
        const std::string& s = t.text;
        if (t.quoted || s.size() < 2 || s[0] != '#' || (s.size() != 7 && s.size() != 9))
            return fail("a colour is #RRGGBB or #AARRGGBB");
        char* end = nullptr;
        const unsigned long v = strtoul(s.c_str() + 1, &end, 16);
        if (*end) return fail("a colour is #RRGGBB or #AARRGGBB");
        // The file keeps red in the low byte.
        const uint32_t top = (v >> 24) & 0xFF, r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
        *c = (top << 24) | (b << 16) | (g << 8) | r;
        return true;
    }

    bool text(const std::vector<Token>& tk, char** field) {
        if (tk.size() != 2 || !tk[1].quoted) return fail(tk[0].text + " takes one quoted text");
        free(*field);
        *field = strDup(tk[1].text.c_str());
        return true;
    }

    bool statement(const std::vector<Token>& tk, C_AnimationObject* o) {
        const std::string& w = tk[0].text;
        const size_t n = tk.size();
        auto one = [&](int32_t* v) {
            if (n != 2) return fail(w + " takes one integer");
            return integer(tk[1], v);
        };
        if (w == "blend") return one(&o->spriteBlend);
        if (w == "clickable") return one(&o->clickable);
        if (w == "id") return one(&o->id);
        if (w == "frames") return one(&o->frameCount);
        if (w == "text_blend") return one(&o->textBlend);
        if (w == "sprite") return text(tk, &o->spritePath);
        if (w == "mask") return text(tk, &o->maskPath);
        if (w == "font") return text(tk, &o->fontPath);
        if (w == "text") return text(tk, &o->textKey);
        if (w == "box") {
            if (n != 3) return fail("box takes a width and a height");
            return number(tk[1], &o->boxWidth) && number(tk[2], &o->boxHeight);
        }
        if (w == "align") {
            if (n != 3) return fail("align takes a horizontal and a vertical alignment");
            return integer(tk[1], &o->alignH) && integer(tk[2], &o->alignV);
        }
        if (w == "position" || w == "size") {
            if (n < 4) return fail(w + " takes a time and two numbers");
            std::unique_ptr<C_VectorKey> k(new C_VectorKey);
            if (!number(tk[1], &k->time) || !number(tk[2], &k->value.x) ||
                !number(tk[3], &k->value.y) || !keyTail(tk, 4, k->filter, 2, k.get()))
                return false;
            return append(w == "position" ? o->position : o->size, k.release());
        }
        if (w == "scale" || w == "alpha" || w == "rotation" || w == "frame") {
            if (n < 3) return fail(w + " takes a time and a number");
            std::unique_ptr<C_FloatKey> k(new C_FloatKey);
            if (!number(tk[1], &k->time) || !number(tk[2], &k->value) ||
                !keyTail(tk, 3, &k->filter, 1, k.get()))
                return false;
            cArray<C_FloatKey*>& track = w == "scale" ? o->scaleKeys
                                         : w == "alpha" ? o->alphaKeys
                                         : w == "rotation" ? o->rotation
                                                           : o->frame;
            return append(track, k.release());
        }
        if (w == "colour") {
            if (n < 3) return fail("colour takes a time and a colour");
            std::unique_ptr<C_ColorKey> k(new C_ColorKey);
            if (!number(tk[1], &k->time) || !colour(tk[2], &k->colour) ||
                !keyTail(tk, 3, k->filter, 3, k.get()))
                return false;
            return append(o->colourKeys, k.release());
        }
        return fail("unknown statement '" + w + "'");
    }

    bool run(const std::string& source, std::vector<uint8_t>& out) {
        std::vector<std::unique_ptr<C_AnimationObject>> roots;
        std::vector<C_AnimationObject*> open;
        std::vector<Token> tk;
        size_t at = 0;
        while (at <= source.size()) {
            size_t end = source.find('\n', at);
            if (end == std::string::npos) end = source.size();
            ++line_;
            if (!tokenize(source.substr(at, end - at), tk)) return false;
            at = end + 1;
            if (tk.empty()) continue;
            if (tk[0].text == "object" && !tk[0].quoted) {
                if (tk.size() > 2 || (tk.size() == 2 && !tk[1].quoted))
                    return fail("object takes at most one quoted name");
                C_AnimationObject* o = new C_AnimationObject;
                free(o->name);
                o->name = tk.size() == 2 ? strDup(tk[1].text.c_str()) : nullptr;
                if (open.empty()) roots.emplace_back(o);
                else open.back()->AddChild(o);
                open.push_back(o);
            } else if (tk[0].text == "end" && !tk[0].quoted) {
                if (tk.size() != 1) return fail("end stands alone");
                if (open.empty()) return fail("end without an object");
                open.pop_back();
            } else {
                if (open.empty()) return fail("'" + tk[0].text + "' outside an object");
                if (!statement(tk, open.back())) return false;
            }
        }
        if (!open.empty()) return fail("an object is not closed with end");
        AnmWriter writer;
        writer.I32(static_cast<int32_t>(roots.size()));
        for (auto& o : roots) o->Write(writer);
        out.assign(writer.Data(), writer.Data() + writer.Size());
        return true;
    }

    std::string error_;

private:
    std::string name_;
    int line_ = 0;
};

std::string quoted(const char* text) {
    std::string s = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\') s += '\\';
        s += *p;
    }
    return s + "\"";
}

std::string num(float v) {
    char buffer[32];
    safeSnprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    return buffer;
}

std::string filterText(const C_FilterDesc& f) {
    const bool plain = f.c1.x == 1.0f && f.c1.y == 0.0f && f.c2.x == 1.0f && f.c2.y == 0.0f;
    if (plain && f.kind == 0) return "linear";
    if (plain && f.kind == 1) return "hold";
    if (plain && f.kind == 2) return "ease";
    return "f(" + std::to_string(f.kind) + "," + num(f.c1.x) + "," + num(f.c1.y) + "," +
           num(f.c2.x) + "," + num(f.c2.y) + ")";
}

std::string filters(const C_FilterDesc* f, int n) {
    bool same = true;
    for (int i = 1; i < n; ++i) same = same && filterText(f[i]) == filterText(f[0]);
    std::string s = " " + filterText(f[0]);
    if (!same)
        for (int i = 1; i < n; ++i) s += " " + filterText(f[i]);
    return s;
}

std::string keyEnd(const C_KeyBase& k) {
    std::string s;
    if (k.stop) s += " stop " + std::to_string(k.stop);
    if (k.sound) s += " sound " + quoted(k.sound);
    return s + "\n";
}

void dumpObject(const C_AnimationObject& o, const std::string& indent, std::string& out) {
    out += indent + "object" + (o.name ? " " + quoted(o.name) : "") + "\n";
    const std::string in = indent + "  ";
    out += in + "blend " + std::to_string(o.spriteBlend) + "\n";
    out += in + "clickable " + std::to_string(o.clickable) + "\n";
    out += in + "id " + std::to_string(o.id) + "\n";
    if (o.spritePath) out += in + "sprite " + quoted(o.spritePath) + "\n";
    out += in + "frames " + std::to_string(o.frameCount) + "\n";
    if (o.maskPath) out += in + "mask " + quoted(o.maskPath) + "\n";
    if (o.textKey) out += in + "text " + quoted(o.textKey) + "\n";
    out += in + "text_blend " + std::to_string(o.textBlend) + "\n";
    out += in + "box " + num(o.boxWidth) + " " + num(o.boxHeight) + "\n";
    if (o.fontPath) out += in + "font " + quoted(o.fontPath) + "\n";
    out += in + "align " + std::to_string(o.alignH) + " " + std::to_string(o.alignV) + "\n";
    for (uint32_t i = 0; i < o.children.size(); ++i) dumpObject(*o.children[i], in, out);
    const struct {
        const char* word;
        const cArray<C_VectorKey*>& keys;
    } vectors[] = {{"position", o.position}, {"size", o.size}};
    for (const auto& v : vectors)
        for (uint32_t i = 0; i < v.keys.size(); ++i) {
            const C_VectorKey& k = *v.keys[i];
            out += in + v.word + " " + num(k.time) + " " + num(k.value.x) + " " + num(k.value.y) +
                   filters(k.filter, 2) + keyEnd(k);
        }
    const struct {
        const char* word;
        const cArray<C_FloatKey*>& keys;
    } floats[] = {{"scale", o.scaleKeys}, {"alpha", o.alphaKeys}, {"rotation", o.rotation},
                  {"frame", o.frame}};
    for (const auto& f : floats)
        for (uint32_t i = 0; i < f.keys.size(); ++i) {
            const C_FloatKey& k = *f.keys[i];
            out += in + f.word + " " + num(k.time) + " " + num(k.value) + filters(&k.filter, 1) +
                   keyEnd(k);
        }
    for (uint32_t i = 0; i < o.colourKeys.size(); ++i) {
        const C_ColorKey& k = *o.colourKeys[i];
        const uint32_t c = k.colour;
        char hex[16];
        const uint32_t rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        if (c >> 24) safeSnprintf(hex, sizeof hex, "#%02X%06X", c >> 24, rgb);
        else safeSnprintf(hex, sizeof hex, "#%06X", rgb);
        out += in + "colour " + num(k.time) + " " + hex + filters(k.filter, 3) + keyEnd(k);
    }
    out += indent + "end\n";
}

}  // namespace

bool anmCompile(const std::string& text, const std::string& name, std::vector<uint8_t>& out,
                std::string& error) {
    Compiler c(name);
    if (c.run(text, out)) return true;
    error = c.error_;
    return false;
}

bool anmDump(const uint8_t* data, size_t size, const std::string& name, std::string& out,
             std::string& error) {
    AnmReader in(data, size, name.c_str());
    int32_t count = 0;
    std::vector<std::unique_ptr<C_AnimationObject>> roots;
    if (in.Count(&count, 88, "object"))
        for (int32_t i = 0; i < count; ++i) {
            std::unique_ptr<C_AnimationObject> o(new C_AnimationObject);
            if (o->Read(in) != kAnimOk) break;
            roots.push_back(std::move(o));
        }
    if (in.Failed()) {
        error = name + ": not a valid animation file (the reason is in gerr.log)";
        return false;
    }
    out = "; dumped from " + name + "\n";
    for (auto& o : roots) dumpObject(*o, "", out);
    return true;
}
