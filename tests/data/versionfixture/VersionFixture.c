/* The smallest library that carries a version resource: an entry point and nothing else. */
int __stdcall VersionFixtureEntry(void* module, unsigned long reason, void* reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return 1;
}
