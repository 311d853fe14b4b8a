// The configuration-text library: tagged values (int, float or string), variables holding lists
// of values, sections of variables, and a whole text of sections with its parser, writer and
// error list. The text format: "[ name ]" section headers, "name = value, value" variables with
// numbers and double-quoted strings, and ';' comment lines. Reading and writing files is the file
// layer's part (engine/data/config_file.h).
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/array.h"
#include "core/strings.h"

// A tagged value. Copies of a string value own a copy of its text.
class cValue {
public:
    enum Type { INT = 0, FLOAT = 1, STRING = 2 };

    cValue() : type_(INT) { data_.s = nullptr; }
    cValue(int v) : type_(INT) {
        data_.s = nullptr;
        data_.i = v;
    }
    cValue(float v) : type_(FLOAT) {
        data_.s = nullptr;
        data_.f = v;
    }
    cValue(double v) : cValue(static_cast<float>(v)) {}
    cValue(const char* text);  // a string value; null stays null
    // A value of that type whose payload is zero: STRING gives a null text.
    explicit cValue(Type type) : type_(type) { data_.s = nullptr; }
    cValue(const cValue& other);
    ~cValue() { freeText(); }

    cValue& operator=(int v);
    cValue& operator=(float v);
    cValue& operator=(double v);
    cValue& operator=(const char* text);
    cValue& operator=(Type type);
    cValue& operator=(const cValue& other);

    Type GetType() const { return type_; }
    // No conversion between types: the wrong type gives 0, 0.0 or null.
    int GetInt() const { return type_ == INT ? data_.i : 0; }
    float GetFloat() const { return type_ == FLOAT ? data_.f : 0.0f; }
    const char* GetString() const { return type_ == STRING ? data_.s : nullptr; }

    // "int", "float" or "string".
    static const char* TypeName(Type type);

private:
    void freeText();
    void setText(const char* text);

    Type type_;
    // Zeroed through s, the widest member, before any other is set.
    union {
        int32_t i;
        float f;
        char* s;
    } data_;
};

// A name and a list of values. A variable without a name holds comment lines as its values.
class cConfigVariable {
public:
    cConfigVariable() : name_(cValue::STRING) {}
    explicit cConfigVariable(const char* name) : name_(name) {}

    const char* GetName() const { return name_.GetString(); }
    const char* Rename(const char* name);
    bool IsComment() const { return GetName() == nullptr; }

    void AddValue(const cValue& value) { values_.push_back(value); }
    void ClearValues();
    uint32_t ValueCount() const { return values_.size(); }
    // A shared int 0 for an index out of range.
    const cValue& ValueAt(uint32_t i) const;

private:
    cArray<cValue> values_;
    cValue name_;
};

// A name (none for the default section, which holds what stands before the first header) and
// its variables in text order.
class cConfigSection {
public:
    cConfigSection() : name_(cValue::STRING) {}
    explicit cConfigSection(const char* name) : name_(name) {}

    const char* GetName() const { return name_.GetString(); }
    const char* Rename(const char* name);

    // The first variable of that name (bytes compared, case counts); never a comment, null for a
    // null name.
    cConfigVariable* FindVariable(const char* name);
    // The value of a variable with exactly one value of the asked type; else the default.
    int GetInt(const char* name, int def);
    float GetFloat(const char* name, float def);
    const char* GetString(const char* name, const char* def);
    // The variable of that name with its values cleared, or a new one at the end; null for a
    // null name. The pointer holds until the next variable is added.
    cConfigVariable* SetVariable(const char* name);
    void Clear() { variables_.clear(); }

    cArray<cConfigVariable>& Variables() { return variables_; }
    const cArray<cConfigVariable>& Variables() const { return variables_; }

private:
    cArray<cConfigVariable> variables_;
    cValue name_;
};

// A whole configuration text: its sections in order, the name it is known by, and the errors
// found while parsing it ("name(line): what", in the order found).
class cConfigText {
public:
    cConfigText() : fileName_(cValue::STRING) {}

    // Appends the default section, then everything the text holds. Errors are collected, never
    // fatal; integers beyond 32 bits are clamped to the 32-bit limits.
    void Parse(const char* fileName, const char* text, size_t size);
    // The text that parses back to the same sections, variables, values and comments (floats
    // with six decimals; strings are written as they are, so a '"' in one does not survive).
    CString Format() const;

    const char* GetFileName() const { return fileName_.GetString(); }
    const cArray<CString>& GetErrors() const { return errors_; }
    void AddError(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // A null name finds the default section.
    cConfigSection* FindSection(const char* name);
    cConfigVariable* GetVariable(const char* section, const char* name);
    int GetInt(const char* section, const char* name, int def);
    float GetFloat(const char* section, const char* name, float def);
    const char* GetString(const char* section, const char* name, const char* def);
    // Appended without a test for an existing one of that name.
    cConfigSection* AddSection(const char* name);
    // Removes the first named section of that name and returns its index; the section count when
    // none matches. The default section is never removed.
    uint32_t RemoveSection(const char* name);
    uint32_t SectionCount() const { return sections_.size(); }
    cConfigSection& SectionAt(uint32_t i) { return sections_[i]; }

    // "# variable 'name' has n values:" and one line per value.
    static void DumpVariable(FILE* out, const cConfigVariable& variable);
    // Exercises values and variables, printing each step and its result.
    static void SelfTest(FILE* out);

protected:
    void setFileName(const char* name) { fileName_ = name; }

private:
    cArray<cConfigSection> sections_;
    cValue fileName_;
    cArray<CString> errors_;
};
