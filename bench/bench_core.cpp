// Speed of the tree map and the Shell sort beside std::map and std::sort.
#include "core/array.h"
#include "core/strmap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kKeys = 10000;
constexpr int kInts = 100000;

// The same shuffled keys for every run, so both maps see one workload.
const std::vector<std::string>& keys() {
    static const std::vector<std::string> k = [] {
        std::vector<std::string> out;
        for (int i = 0; i < kKeys; ++i) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "object_%d", i * 7919 % 100003);
            out.push_back(buf);
        }
        std::shuffle(out.begin(), out.end(), std::mt19937(1));
        return out;
    }();
    return k;
}

const std::vector<CString>& cKeys() {
    static const std::vector<CString> k = [] {
        std::vector<CString> out;
        for (const std::string& s : keys()) out.emplace_back(s.c_str());
        return out;
    }();
    return k;
}

void BM_StrMapInsert(benchmark::State& state) {
    for (auto _ : state) {
        cStrMap<int> m;
        int i = 0;
        for (const CString& k : cKeys()) m.Insert(k, i++);
        benchmark::DoNotOptimize(m.size());
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_StdMapInsert(benchmark::State& state) {
    for (auto _ : state) {
        std::map<std::string, int> m;
        int i = 0;
        for (const std::string& k : keys()) m.emplace(k, i++);
        benchmark::DoNotOptimize(m.size());
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_StrMapFind(benchmark::State& state) {
    cStrMap<int> m;
    int i = 0;
    for (const CString& k : cKeys()) m.Insert(k, i++);
    for (auto _ : state) {
        long sum = 0;
        for (const CString& k : cKeys()) sum += *m.FindValue(k);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_StdMapFind(benchmark::State& state) {
    std::map<std::string, int> m;
    int i = 0;
    for (const std::string& k : keys()) m.emplace(k, i++);
    for (auto _ : state) {
        long sum = 0;
        for (const std::string& k : keys()) sum += m.find(k)->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}

const std::vector<int>& randomInts() {
    static const std::vector<int> v = [] {
        std::mt19937 rng(2);
        std::vector<int> out(kInts);
        for (int& x : out) x = static_cast<int>(rng());
        return out;
    }();
    return v;
}

bool intLess(const int& a, const int& b) { return a < b; }

void BM_ShellSort(benchmark::State& state) {
    cArray<int> a;
    for (auto _ : state) {
        state.PauseTiming();
        a.clear();
        for (int x : randomInts()) a.push_back(x);
        state.ResumeTiming();
        Sort(a, intLess);
        benchmark::DoNotOptimize(a[0]);
    }
    state.SetItemsProcessed(state.iterations() * kInts);
}

void BM_StdSort(benchmark::State& state) {
    std::vector<int> v;
    for (auto _ : state) {
        state.PauseTiming();
        v = randomInts();
        state.ResumeTiming();
        std::sort(v.begin(), v.end());
        benchmark::DoNotOptimize(v[0]);
    }
    state.SetItemsProcessed(state.iterations() * kInts);
}

}  // namespace

BENCHMARK(BM_StrMapInsert);
BENCHMARK(BM_StdMapInsert);
BENCHMARK(BM_StrMapFind);
BENCHMARK(BM_StdMapFind);
BENCHMARK(BM_ShellSort);
BENCHMARK(BM_StdSort);

BENCHMARK_MAIN();
