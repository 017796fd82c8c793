// Placeholder until the dialog seam lands.
