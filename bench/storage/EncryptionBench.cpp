// Target: encrypting and decrypting a 10 MB auto-save at 1 GB/s or more.
// Baselines in the same run: copying the same bytes (the memory's limit) and
// the cipher called directly with a key at hand.
#include "infrastructure/security/KeychainAESEncryption.h"
#include "platform/crypto/AesGcm.h"
#include "support/InMemorySecretStore.h"

#include <benchmark/benchmark.h>

#include <cstring>

using namespace vexel;

namespace {

constexpr std::size_t kSize = 10 * 1000 * 1000;

const std::string& autoSaveBytes() {
    static const std::string bytes = [] {
        std::string made(kSize, '\0');
        for (std::size_t i = 0; i < made.size(); ++i) {
            made[i] = static_cast<char>("{\"clips\":[1.5, \"text\"]}"[i % 24]);
        }
        return made;
    }();
    return bytes;
}

const KeychainAESEncryption& encryption() {
    static const KeychainAESEncryption made("com.vexel.app.autosave-key", "aes-key",
                                            std::make_shared<testing::InMemorySecretStore>());
    return made;
}

void BM_Encrypt10MB(benchmark::State& state) {
    for (auto _ : state) {
        std::string sealed = encryption().encrypt(autoSaveBytes());
        benchmark::DoNotOptimize(sealed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Encrypt10MB)->Unit(benchmark::kMillisecond);

void BM_Decrypt10MB(benchmark::State& state) {
    const std::string sealed = encryption().encrypt(autoSaveBytes());
    for (auto _ : state) {
        std::string opened = encryption().decrypt(sealed);
        benchmark::DoNotOptimize(opened);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Decrypt10MB)->Unit(benchmark::kMillisecond);

// Baseline: the cipher alone, with the key in hand.
void BM_SealBaseline(benchmark::State& state) {
    const std::string key = crypto::randomBytes(32);
    for (auto _ : state) {
        std::string sealed = crypto::sealAesGcm(key, autoSaveBytes());
        benchmark::DoNotOptimize(sealed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_SealBaseline)->Unit(benchmark::kMillisecond);

// Baseline: a fresh copy of the same bytes.
void BM_CopyBaseline(benchmark::State& state) {
    for (auto _ : state) {
        std::string copy(kSize, '\0');
        std::memcpy(copy.data(), autoSaveBytes().data(), kSize);
        benchmark::DoNotOptimize(copy);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_CopyBaseline)->Unit(benchmark::kMillisecond);

} // namespace
