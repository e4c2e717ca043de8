// Placeholder until the shell's entry points land.
