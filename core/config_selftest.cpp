// The configuration library's printed self-test and its variable dump.
#include "core/config.h"

namespace {

void printValue(FILE* out, const cValue& v) {
    switch (v.GetType()) {
    case cValue::INT: fprintf(out, "%i", v.GetInt()); break;
    case cValue::FLOAT: fprintf(out, "%f", static_cast<double>(v.GetFloat())); break;
    case cValue::STRING: fprintf(out, "'%s'", v.GetString() ? v.GetString() : ""); break;
    }
}

void printValues(FILE* out, const cValue* values[3]) {
    for (int i = 0; i < 3; ++i) {
        const cValue& v = *values[i];
        const char* s = v.GetString();
        fprintf(out, "v%d: %s; GetInt() = %i, GetFloat() = %f, GetString() = %s%s%s\n", i + 1,
                cValue::TypeName(v.GetType()), v.GetInt(), static_cast<double>(v.GetFloat()),
                s ? "'" : "", s ? s : "(null)", s ? "'" : "");
    }
    fprintf(out, "\n");
}

}  // namespace

void cConfigText::DumpVariable(FILE* out, const cConfigVariable& variable) {
    const uint32_t n = variable.ValueCount();
    fprintf(out, "# variable '%s' has %u values%s\n", variable.GetName() ? variable.GetName() : "",
            n, n ? ":" : "");
    for (uint32_t i = 0; i < n; ++i) {
        fprintf(out, "\t[%u]=", i);
        printValue(out, variable.ValueAt(i));
        fprintf(out, "\n");
    }
}

void cConfigText::SelfTest(FILE* out) {
    fprintf(out, "---- TESTING VALUES ----\n\n");
    cValue v1(17), v2(2.5f), v3("test value");
    const cValue* values[3] = {&v1, &v2, &v3};
    printValues(out, values);
    fprintf(out, ">> v1 = cValue::STRING;\n");
    v1 = cValue::STRING;
    printValues(out, values);
    fprintf(out, ">> v2 = 911;\n");
    v2 = 911;
    printValues(out, values);
    fprintf(out, ">> v3 = v2;\n");
    v3 = v2;
    printValues(out, values);
    fprintf(out, ">> v1 = \"another text\";\n");
    v1 = "another text";
    printValues(out, values);

    fprintf(out, "---- TESTING VARIABLES ----\n\n");
    fprintf(out, ">> cConfigVariable var1(\"var1\")\n");
    cConfigVariable var1("var1");
    DumpVariable(out, var1);
    fprintf(out, ">> var1.Rename(\"first\")\n");
    var1.Rename("first");
    DumpVariable(out, var1);
    fprintf(out, ">> cConfigVariable var2\n");
    cConfigVariable var2;
    DumpVariable(out, var2);
    fprintf(out, ">> cConfigVariable var3(\"var3\")\n");
    cConfigVariable var3("var3");
    DumpVariable(out, var3);
    fprintf(out, ">> var3.values.push_back(1)\n");
    var3.AddValue(cValue(1));
    DumpVariable(out, var3);
    fprintf(out, ">> var3.values.push_back(2.5)\n");
    var3.AddValue(cValue(2.5));
    DumpVariable(out, var3);
    fprintf(out, ">> var3.values.push_back(\"three\")\n");
    var3.AddValue(cValue("three"));
    DumpVariable(out, var3);
    fprintf(out, ">> var3.values.clear()\n");
    var3.ClearValues();
    DumpVariable(out, var3);
}
