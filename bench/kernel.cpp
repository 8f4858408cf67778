// Costs of the kernel primitives that loopers and messengers lean on.
#include <benchmark/benchmark.h>

#include <OS.h>

static void PortWriteRead(benchmark::State& state)
{
	port_id port = create_port(100, nullptr);
	char buffer[256] = {};
	int32 code;
	for (auto _ : state) {
		write_port(port, 1, buffer, state.range(0));
		benchmark::DoNotOptimize(read_port(port, &code, buffer, sizeof(buffer)));
	}
	delete_port(port);
}
BENCHMARK(PortWriteRead)->Arg(0)->Arg(256);

// Two threads handing a token back and forth through two semaphores.
static void SemaphorePingPong(benchmark::State& state)
{
	struct Pair {
		sem_id ping;
		sem_id pong;
	} pair{create_sem(0, "ping"), create_sem(0, "pong")};
	thread_id partner = spawn_thread([](void* data) -> int32 {
		Pair* pair = static_cast<Pair*>(data);
		while (acquire_sem(pair->ping) == B_OK)
			release_sem(pair->pong);
		return 0;
	}, "pong", B_NORMAL_PRIORITY, &pair);
	resume_thread(partner);
	for (auto _ : state) {
		release_sem(pair.ping);
		acquire_sem(pair.pong);
	}
	delete_sem(pair.ping);
	status_t ignored;
	wait_for_thread(partner, &ignored);
	delete_sem(pair.pong);
}
BENCHMARK(SemaphorePingPong);

// One thread taking and giving back a semaphore nobody else uses: the cost
// of a looper's lock or a mailbox when there is no contention.
static void SemaphoreUncontended(benchmark::State& state)
{
	sem_id sem = create_sem(1, "uncontended");
	for (auto _ : state) {
		acquire_sem(sem);
		release_sem(sem);
	}
	delete_sem(sem);
}
BENCHMARK(SemaphoreUncontended);

static void SpawnAndWait(benchmark::State& state)
{
	for (auto _ : state) {
		thread_id thread = spawn_thread([](void*) -> int32 { return 0; }, "short",
			B_NORMAL_PRIORITY, nullptr);
		status_t result;
		wait_for_thread(thread, &result);
	}
}
BENCHMARK(SpawnAndWait);
