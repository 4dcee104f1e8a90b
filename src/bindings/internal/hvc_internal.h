/* The platform's closed helper module: user identity and password sealing.
 * Every text returned is allocated by the module and released with
 * hvc_util_internal_free_string. No function raises: a failure, running out
 * of memory included, is a null result with its reason in
 * hvc_util_internal_last_error(). Safe to call from several threads. */
#ifndef HVC_INTERNAL_H
#define HVC_INTERNAL_H

#ifdef __cplusplus
extern "C" {
#endif

/* The calling user's principal (the login name); null when unknown. */
char* hvc_util_internal_get_principal(void);

/* Bind name of the user's profile for the alias service's answer
 * ("UserProfile." followed by the account); null for a null or empty answer. */
char* hvc_util_internal_get_user_profile_name(const char* account);

/* Key text of a user's identifier: "user:" followed by the decimal number. */
char* hvc_util_internal_id_to_key(int id);

/* The password sealed to the platform's public key ("sealed:" followed by
 * base64); null when no key is configured or the key is unusable, with the
 * reason in hvc_util_internal_last_error(). */
char* hvc_util_internal_encrypt(const char* text);

/* Why the calling thread's last call of this module that returned null
 * failed. The text belongs to the module and stays valid until the thread's
 * next call: do not free it. */
const char* hvc_util_internal_last_error(void);

void hvc_util_internal_free_string(char* text);

#ifdef __cplusplus
}
#endif

#endif
