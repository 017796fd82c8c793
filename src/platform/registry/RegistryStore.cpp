// Placeholder until the registry store lands.
