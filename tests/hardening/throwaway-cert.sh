# Sourced: throwaway_certificate DIR makes, in DIR, a self-signed
# code-signing certificate as the README's trial recipe does: cert.pem (the
# certificate, also the -CAfile that verifies it), password.txt and
# publisher.pfx (certificate and key, protected by that password). Returns
# non-zero, with openssl's messages, when openssl fails.
throwaway_certificate() {
  local dir=$1
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/key.pem" -out "$dir/cert.pem" -days 2 \
    -subj "/CN=Zorvane Test Publisher" -addext "extendedKeyUsage=codeSigning" \
    > "$dir/openssl.log" 2>&1 &&
    echo "throwaway password" > "$dir/password.txt" &&
    openssl pkcs12 -export -inkey "$dir/key.pem" -in "$dir/cert.pem" -out "$dir/publisher.pfx" \
      -passout "file:$dir/password.txt" >> "$dir/openssl.log" 2>&1 ||
    { cat "$dir/openssl.log"; return 1; }
}
