// Keeps the updater library non-empty until the updater window arrives.
namespace updater {
int placeholder() { return 0; }
} // namespace updater
