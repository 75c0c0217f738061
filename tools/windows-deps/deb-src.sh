# Sourced by the build scripts beside it (which define log and die).
# apt-get source needs deb-src entries: adds them beside the deb ones. True
# when it added them, so that apt-get update is due; false when they were
# there already.
add_deb_src() {
    if grep -Eqs '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
            /etc/apt/sources.list.d/*.sources; then
        return 1
    fi
    log "adding deb-src entries to apt's sources"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            > /etc/apt/sources.list.d/debian-src.sources
    elif [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/debian-src.list
    else
        die "no apt sources found to derive deb-src entries from"
    fi
}
