namespace pendra {}
