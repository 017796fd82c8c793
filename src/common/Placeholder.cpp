// Placeholder until the shared procedures land.
