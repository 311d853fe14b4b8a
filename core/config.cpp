// The configuration-text library: values, variables, sections, the parser and the writer.
#include "core/config.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "core/text.h"

namespace {

char* copyText(const char* text) {
    if (!text) return nullptr;
    const size_t n = strlen(text);
    char* copy = static_cast<char*>(malloc(n + 1));
    if (copy) memcpy(copy, text, n + 1);
    return copy;
}

bool sameName(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

const cValue kNoValue(0);

}  // namespace

// --- cValue ----------------------------------------------------------------------------------

cValue::cValue(const char* text) : type_(STRING) { data_.s = copyText(text); }

cValue::cValue(const cValue& other) : type_(INT) {
    data_.s = nullptr;
    *this = other;
}

void cValue::freeText() {
    if (type_ == STRING) free(data_.s);
    data_.s = nullptr;
}

cValue& cValue::operator=(int v) {
    freeText();
    type_ = INT;
    data_.i = v;
    return *this;
}

cValue& cValue::operator=(float v) {
    freeText();
    type_ = FLOAT;
    data_.f = v;
    return *this;
}

cValue& cValue::operator=(double v) { return *this = static_cast<float>(v); }

cValue& cValue::operator=(const char* text) {
    char* copy = copyText(text);  // text may be this value's own
    freeText();
    type_ = STRING;
    data_.s = copy;
    return *this;
}

cValue& cValue::operator=(Type type) {
    freeText();
    type_ = type;
    return *this;
}

cValue& cValue::operator=(const cValue& other) {
    if (&other == this) return *this;
    if (other.type_ == STRING) return *this = other.data_.s;
    freeText();
    type_ = other.type_;
    data_ = other.data_;
    return *this;
}

const char* cValue::TypeName(Type type) {
    switch (type) {
    case INT: return "int";
    case FLOAT: return "float";
    case STRING: return "string";
    }
    return "?";
}

// --- Variables and sections ----------------------------------------------------------------

const char* cConfigVariable::Rename(const char* name) {
    name_ = name;
    return GetName();
}

void cConfigVariable::ClearValues() {
    for (uint32_t i = 0; i < values_.size(); ++i) values_[i] = 0;
    values_.clear();
}

const cValue& cConfigVariable::ValueAt(uint32_t i) const {
    return i < values_.size() ? values_[i] : kNoValue;
}

const char* cConfigSection::Rename(const char* name) {
    name_ = name;
    return GetName();
}

cConfigVariable* cConfigSection::FindVariable(const char* name) {
    if (!name) return nullptr;
    for (uint32_t i = 0; i < variables_.size(); ++i)
        if (sameName(variables_[i].GetName(), name)) return &variables_[i];
    return nullptr;
}

namespace {

// The single value of a variable when it has the asked type; else null.
const cValue* singleValue(cConfigSection& section, const char* name, cValue::Type type) {
    const cConfigVariable* v = section.FindVariable(name);
    if (!v || v->ValueCount() != 1 || v->ValueAt(0).GetType() != type) return nullptr;
    return &v->ValueAt(0);
}

}  // namespace

int cConfigSection::GetInt(const char* name, int def) {
    const cValue* v = singleValue(*this, name, cValue::INT);
    return v ? v->GetInt() : def;
}

float cConfigSection::GetFloat(const char* name, float def) {
    const cValue* v = singleValue(*this, name, cValue::FLOAT);
    return v ? v->GetFloat() : def;
}

const char* cConfigSection::GetString(const char* name, const char* def) {
    const cValue* v = singleValue(*this, name, cValue::STRING);
    return v ? v->GetString() : def;
}

cConfigVariable* cConfigSection::SetVariable(const char* name) {
    if (!name) return nullptr;
    if (cConfigVariable* v = FindVariable(name)) {
        v->ClearValues();
        return v;
    }
    variables_.push_back(cConfigVariable(name));
    return &variables_[variables_.size() - 1];
}

// --- The whole text --------------------------------------------------------------------------

void cConfigText::AddError(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    errors_.push_back(CString(buffer));
}

cConfigSection* cConfigText::FindSection(const char* name) {
    for (uint32_t i = 0; i < sections_.size(); ++i) {
        const char* own = sections_[i].GetName();
        if (name ? sameName(own, name) : own == nullptr) return &sections_[i];
    }
    return nullptr;
}

cConfigVariable* cConfigText::GetVariable(const char* section, const char* name) {
    cConfigSection* s = FindSection(section);
    return s ? s->FindVariable(name) : nullptr;
}

int cConfigText::GetInt(const char* section, const char* name, int def) {
    cConfigSection* s = FindSection(section);
    return s ? s->GetInt(name, def) : def;
}

float cConfigText::GetFloat(const char* section, const char* name, float def) {
    cConfigSection* s = FindSection(section);
    return s ? s->GetFloat(name, def) : def;
}

const char* cConfigText::GetString(const char* section, const char* name, const char* def) {
    cConfigSection* s = FindSection(section);
    return s ? s->GetString(name, def) : def;
}

cConfigSection* cConfigText::AddSection(const char* name) {
    sections_.push_back(cConfigSection(name));
    return &sections_[sections_.size() - 1];
}

uint32_t cConfigText::RemoveSection(const char* name) {
    if (!name) return sections_.size();
    for (uint32_t i = 0; i < sections_.size(); ++i) {
        if (sameName(sections_[i].GetName(), name)) {
            sections_.erase(i);
            return i;
        }
    }
    return sections_.size();
}

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || isLineEnd(c); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The parse of one text: a cursor over it, the line it is on and the section being filled.
class Parser {
public:
    Parser(cConfigText& out, cArray<cConfigSection>& sections, const char* text, size_t size)
        : out_(out), sections_(sections), p_(text), end_(text + size) {}

    void Run() {
        out_.AddSection(nullptr);
        currentIndex_ = sections_.size() - 1;
        for (;;) {
            skipWhite();
            if (atEnd()) break;
            readComments();
            if (atEnd()) break;
            if (*p_ == '[')
                readSection();
            else
                readVariable();
        }
    }

private:
    bool atEnd() const { return p_ >= end_ || *p_ == '\0'; }
    const char* name() const { return out_.GetFileName() ? out_.GetFileName() : ""; }
    cConfigSection& section() { return sections_[currentIndex_]; }

    // Crosses one line end ("\r\n", "\r" or "\n") when the cursor is at one.
    bool crossLineEnd() {
        if (atEnd() || !isLineEnd(*p_)) return false;
        if (*p_ == '\r' && p_ + 1 < end_ && p_[1] == '\n') ++p_;
        ++p_;
        ++line_;
        return true;
    }
    void skipWhite() {
        while (!atEnd() && isWhite(*p_))
            if (!crossLineEnd()) ++p_;
    }
    void skipWhiteInLine() {
        while (!atEnd() && isWhite(*p_) && !isLineEnd(*p_)) ++p_;
    }
    void skipToLineEnd() {
        while (!atEnd() && !isLineEnd(*p_)) ++p_;
    }

    void readComments() {
        if (atEnd() || *p_ != ';') return;
        cConfigVariable comment;
        while (!atEnd() && *p_ == ';') {
            const char* from = ++p_;
            skipToLineEnd();
            char* text = strDupN(from, static_cast<int>(p_ - from));
            comment.AddValue(cValue(text ? text : ""));
            free(text);
            skipWhite();
        }
        section().Variables().push_back(comment);
    }

    void readSection() {
        ++p_;
        skipWhiteInLine();
        // The end of the text is no line end: "[" as the last character lacks its ']'.
        if (!atEnd() && isLineEnd(*p_)) {
            out_.AddError("%s(%u): no section name after '['", name(), line_);
            return;
        }
        const char* from = p_;
        while (!atEnd() && *p_ != ']' && !isLineEnd(*p_)) ++p_;
        if (atEnd() || *p_ != ']') {
            out_.AddError("%s(%u): no enclosing ']'", name(), line_);
            return;
        }
        const char* to = p_;
        ++p_;
        while (to > from && isWhite(to[-1])) --to;
        if (to == from) {
            out_.AddError("%s(%u): empty section name", name(), line_);
            return;
        }
        char* text = strDupN(from, static_cast<int>(to - from));
        if (!text) return;
        if (cConfigSection* found = out_.FindSection(text)) {
            out_.AddError("%s(%u): warning: section '%s' already exists", name(), line_, text);
            currentIndex_ = static_cast<uint32_t>(found - &sections_[0]);
        } else {
            out_.AddSection(text);
            currentIndex_ = sections_.size() - 1;
        }
        free(text);
    }

    void readVariable() {
        const char* from = p_;
        while (!atEnd() && !isWhite(*p_) && *p_ != '=' && *p_ != '[') ++p_;
        if (p_ == from) {
            if (atEnd()) return;
            // Only '=' stops a name at its first character: the line has no name.
            out_.AddError("%s(%u): no variable name before '='", name(), line_);
            skipToLineEnd();
            return;
        }
        char* text = strDupN(from, static_cast<int>(p_ - from));
        section().Variables().push_back(cConfigVariable(text));
        free(text);
        cConfigVariable& variable = section().Variables()[section().Variables().size() - 1];
        skipWhite();
        if (atEnd() || *p_ != '=') return;
        ++p_;
        const unsigned equalsLine = line_;
        for (;;) {
            skipWhite();
            if (!readValue(variable)) break;
            skipWhite();
            if (atEnd() || *p_ != ',') break;
            ++p_;
        }
        // Also after a malformed first value: the variable is left empty either way.
        if (variable.ValueCount() == 0)
            out_.AddError("%s(%u): no values found after '='", name(), equalsLine);
    }

    // Adds one value at the cursor. False when none starts there or it is malformed (reported).
    bool readValue(cConfigVariable& variable) {
        if (atEnd()) return false;
        if (*p_ == '"') {
            const char* from = ++p_;
            while (!atEnd() && *p_ != '"' && !isLineEnd(*p_)) ++p_;
            if (atEnd() || *p_ != '"') {
                out_.AddError("%s(%u): unterminated string", name(), line_);
                return false;
            }
            char* text = strDupN(from, static_cast<int>(p_ - from));
            variable.AddValue(cValue(text ? text : ""));
            free(text);
            ++p_;
            return true;
        }
        if (*p_ != '+' && *p_ != '-' && !isDigit(*p_)) return false;
        const char* from = p_;
        bool good = true, point = false;
        if (*p_ == '+' || *p_ == '-') ++p_;
        if (atEnd() || !isDigit(*p_)) good = false;
        while (good && !atEnd() && isDigit(*p_)) ++p_;
        if (good && !atEnd() && *p_ == '.') {
            point = true;
            ++p_;
            if (atEnd() || !isDigit(*p_)) good = false;
            while (good && !atEnd() && isDigit(*p_)) ++p_;
        }
        if (!good) {
            out_.AddError("%s(%u): invalid number format", name(), line_);
            return false;
        }
        char* text = strDupN(from, static_cast<int>(p_ - from));
        if (!text) return false;
        if (point) {
            // Beyond the float range is clamped too, so a saved text always reads back.
            const float f = strtof(text, nullptr);
            variable.AddValue(cValue(std::isinf(f) ? std::copysign(FLT_MAX, f) : f));
        } else {
            // Wider than 32 bits is clamped, never wrapped.
            long long v = strtoll(text, nullptr, 10);
            if (v > INT32_MAX) v = INT32_MAX;
            if (v < INT32_MIN) v = INT32_MIN;
            variable.AddValue(cValue(static_cast<int>(v)));
        }
        free(text);
        return true;
    }

    cConfigText& out_;
    cArray<cConfigSection>& sections_;
    const char* p_;
    const char* end_;
    unsigned line_ = 1;
    uint32_t currentIndex_ = 0;
};

// A growing byte buffer for the writer.
class Output {
public:
    void Add(const char* text) {
        if (!text) return;
        for (; *text; ++text) bytes_.push_back(*text);
    }
    void Addf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[64];
        va_list args;
        va_start(args, format);
        vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        Add(buffer);
    }
    CString Text() {
        bytes_.push_back('\0');
        return CString(&bytes_[0]);
    }

private:
    cArray<char> bytes_;
};

void writeValue(Output& out, const cValue& v) {
    switch (v.GetType()) {
    case cValue::INT: out.Addf("%i", v.GetInt()); break;
    case cValue::FLOAT: out.Addf("%f", static_cast<double>(v.GetFloat())); break;
    case cValue::STRING:
        out.Add("\"");
        out.Add(v.GetString());
        out.Add("\"");
        break;
    }
}

}  // namespace

void cConfigText::Parse(const char* fileName, const char* text, size_t size) {
    fileName_ = fileName;
    Parser(*this, sections_, text ? text : "", text ? size : 0).Run();
}

CString cConfigText::Format() const {
    Output out;
    for (uint32_t s = 0; s < sections_.size(); ++s) {
        const cConfigSection& section = sections_[s];
        if (section.GetName()) {
            out.Add("[ ");
            out.Add(section.GetName());
            out.Add(" ]\n");
        }
        const cArray<cConfigVariable>& variables = section.Variables();
        for (uint32_t i = 0; i < variables.size(); ++i) {
            const cConfigVariable& v = variables[i];
            if (v.IsComment()) {
                for (uint32_t k = 0; k < v.ValueCount(); ++k) {
                    out.Add(";");
                    out.Add(v.ValueAt(k).GetString());
                    out.Add("\n");
                }
                continue;
            }
            out.Add(v.GetName());
            if (v.ValueCount() > 0) out.Add(" = ");
            for (uint32_t k = 0; k < v.ValueCount(); ++k) {
                if (k > 0) out.Add(", ");
                writeValue(out, v.ValueAt(k));
            }
            out.Add("\n");
        }
        out.Add("\n");
    }
    return out.Text();
}
